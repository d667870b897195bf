// The lines that ran, kept in a file beside the catalogues (Historique.txt).
#pragma once
#include <functional>
#include <string>
#include <vector>

class THistoryFile {
public:
    // onError gets the message of the first failure to read or write the
    // file; later ones say nothing, for a memory that cannot be kept must
    // never stand in the way of a launch.
    THistoryFile(std::string path, std::function<void(const std::string&)> onError);

    // The file's lines, or none when it is missing or cannot be read; the
    // next Add then reads it again before it writes.
    void Load();
    const std::vector<std::string>& Lines() const { return lines_; }
    // A line that ran (AddToHistory), the file then written whole.
    void Add(const std::string& line);
    // Forgets every line and empties the file; a failure to write it is
    // reported every time, and the lines are kept.
    void Clear();
    const std::string& Path() const { return path_; }

private:
    void Save();
    void Report(const std::string& message);
    std::string path_;
    std::function<void(const std::string&)> onError_;
    std::vector<std::string> lines_;
    bool unread_ = false;
    bool reported_ = false;
};
