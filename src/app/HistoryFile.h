// The lines that ran, kept in a file beside the catalogues (Historique.txt),
// which every window of the program shares: each change is made to the file
// as it stands, read again just before, so that no window writes over the
// lines of another, nor brings back what another cleared.
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

    // The file's lines, or none when it is missing or cannot be read.
    void Load();
    // The lines offered: the file's as last read or written, with those of
    // this window that it could not take yet.
    const std::vector<std::string>& Lines() const { return lines_; }
    // A line that ran (AddToHistory), added to the file as it now stands. A
    // file that cannot be read or written keeps the line for the next time.
    // A file read only in part (a NUL, characters Windows-1252 lacks) is kept
    // as it was under a name of its own before it is written, and onError
    // names both.
    void Add(const std::string& line);
    // Forgets every line and empties the file; a failure to write it is
    // reported every time, and the lines are kept.
    void Clear();
    const std::string& Path() const { return path_; }

private:
    void Report(const std::string& message);
    std::string path_;
    std::function<void(const std::string&)> onError_;
    std::vector<std::string> lines_;
    // Lines of this window the file has not taken yet, oldest first.
    std::vector<std::string> pending_;
    bool reported_ = false;
};
