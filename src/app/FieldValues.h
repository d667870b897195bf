// The value last used for each blank's name, kept from one session to the
// next in a section of the program's settings file, as portable programs
// keep theirs.
#pragma once
#include "core/Blanks.h"

#include <functional>
#include <string>
#include <vector>

class TFieldValues {
public:
    // onError gets the message of the first failure to write; later ones say nothing.
    TFieldValues(std::string iniPath, std::string section,
                 std::function<void(const std::string&)> onError);

    // Keeps the values of a line that ran, in this session and in the file.
    // The section is rewritten whole, the other sections left alone.
    void Keep(const std::vector<TKeptValue>& values);

    // The fields with, for default, the value last used for their name
    // (SameBlankName) when there is one: this session's, whether or not the
    // file took it, else the file's.
    std::vector<TBlankField> Prefilled(std::vector<TBlankField> fields) const;

private:
    // The section as the file holds it now.
    std::vector<TKeptValue> FileValues() const;
    std::string path_;
    std::string section_;
    std::function<void(const std::string&)> onError_;
    std::vector<TKeptValue> session_;
    bool reported_ = false;
};
