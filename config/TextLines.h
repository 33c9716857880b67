#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Splits a file read in text mode into lines: CR bytes are dropped, Ctrl-Z ends the file, white
// space before a line is skipped (so blank lines never count) and LF ends a line.
class TextLines {
public:
    // number: the line of the file the line starts on, counted from 1; every LF ends one.
    using LineHandler = std::function<void(std::string_view line, std::size_t number)>;

    // Takes the next bytes of the file. Returns false once Ctrl-Z has ended the file.
    bool Feed(std::string_view bytes, const LineHandler& onLine);
    // At a line end or the end of the file: hands over the line read so far, if any.
    void Finish(const LineHandler& onLine);

private:
    std::string line_;
    std::size_t fileLine_ = 1;  // the line of the file the next byte is on
    std::size_t lineStart_ = 1; // the line of the file line_ started on
    bool ended_ = false;
};
