// The value last used for each blank's name, kept from one session to the
// next in a section of the program's settings file, as portable programs
// keep theirs.
#pragma once
#include "core/Blanks.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TFieldValues {
public:
    // onError gets the message of the first failure to write; later ones say nothing.
    TFieldValues(std::string iniPath, std::string section,
                 std::function<void(const std::string&)> onError);

    // Names compare as the settings file compares its keys: letter case ignored.
    std::optional<std::string> Value(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);

    // The fields with, for default, the value last used when there is one.
    std::vector<TBlankField> Prefilled(std::vector<TBlankField> fields) const;

private:
    std::string path_;
    std::string section_;
    std::function<void(const std::string&)> onError_;
    bool reported_ = false;
};
