#include "app/FieldValues.h"

#include "ui/Exceptions.h"
#include "ui/Files.h"

#include <windows.h>

#include <utility>

TFieldValues::TFieldValues(std::string iniPath, std::string section,
                           std::function<void(const std::string&)> onError)
    : path_(std::move(iniPath)), section_(std::move(section)), onError_(std::move(onError)) {}

std::optional<std::string> TFieldValues::Value(const std::string& name) const {
    // The section's key names first: a value never kept is not an empty one.
    std::string keys(32768, '\0');
    const DWORD size = GetPrivateProfileStringA(section_.c_str(), nullptr, "", keys.data(),
                                                static_cast<DWORD>(keys.size()), path_.c_str());
    bool known = false;
    for (const char* key = keys.data(); !known && key < keys.data() + size && *key;
         key += lstrlenA(key) + 1)
        known = lstrcmpiA(key, name.c_str()) == 0;
    if (!known)
        return std::nullopt;
    std::string value(32768, '\0');
    const DWORD n = GetPrivateProfileStringA(section_.c_str(), name.c_str(), "", value.data(),
                                             static_cast<DWORD>(value.size()), path_.c_str());
    value.resize(n);
    return value;
}

void TFieldValues::SetValue(const std::string& name, const std::string& value) {
    // Quoted, so that blanks at either end and quotes of its own come back
    // as written: the reader takes off one pair of enclosing quotes.
    const std::string quoted = "\"" + value + "\"";
    if (WritePrivateProfileStringA(section_.c_str(), name.c_str(), quoted.c_str(), path_.c_str()))
        return;
    const DWORD error = GetLastError();
    if (reported_)
        return;
    reported_ = true;
    if (onError_)
        onError_("Impossible d'écrire dans le fichier \"" + FullPath(path_) + "\". " +
                 SysErrorMessage(error));
}

std::vector<TBlankField> TFieldValues::Prefilled(std::vector<TBlankField> fields) const {
    for (TBlankField& field : fields)
        if (auto value = Value(field.Name))
            field.Default = std::move(*value);
    return fields;
}
