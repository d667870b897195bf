#include "app/FieldValues.h"

#include "ui/Exceptions.h"
#include "ui/Files.h"

#include <windows.h>

#include <utility>

TFieldValues::TFieldValues(std::string iniPath, std::string section,
                           std::function<void(const std::string&)> onError)
    : path_(std::move(iniPath)), section_(std::move(section)), onError_(std::move(onError)) {}

std::vector<TKeptValue> TFieldValues::FileValues() const {
    // The section whole, so that the names' own rule finds a value, never
    // the profile functions' folding of keys.
    std::string text(4096, '\0');
    for (;;) {
        const DWORD n = GetPrivateProfileSectionA(section_.c_str(), text.data(),
                                                  static_cast<DWORD>(text.size()), path_.c_str());
        if (n + 2 < text.size()) {
            text.resize(n);
            return ParseKeptValues(text);
        }
        text.resize(text.size() * 2);
    }
}

void TFieldValues::Keep(const std::vector<TKeptValue>& values) {
    if (values.empty())
        return;
    for (const TKeptValue& kept : values)
        SetKeptValue(session_, kept.Name, kept.Value);
    bool written = false;
    DWORD error = 0;
    {
        // Another window may keep its own values between the read and the write.
        const TFileLock lock(path_);
        std::vector<TKeptValue> file = FileValues();
        for (const TKeptValue& kept : values)
            SetKeptValue(file, kept.Name, kept.Value);
        const std::string section = KeptValuesSection(file);
        written = WritePrivateProfileSectionA(section_.c_str(), section.c_str(), path_.c_str());
        error = GetLastError();
    }
    if (written || reported_)
        return;
    reported_ = true;
    if (onError_)
        onError_("Impossible d'écrire dans le fichier \"" + FullPath(path_) + "\". " +
                 SysErrorMessage(error));
}

std::vector<TBlankField> TFieldValues::Prefilled(std::vector<TBlankField> fields) const {
    // This session's values first, whether or not the file took them.
    const std::vector<TKeptValue> file = FileValues();
    for (TBlankField& field : fields) {
        const std::string* value = FindKeptValue(session_, field.Name);
        if (!value)
            value = FindKeptValue(file, field.Name);
        if (value)
            field.Default = *value;
    }
    return fields;
}
