// A line of text as the windows show it: pieces that are the program's own
// UTF-8 literals and pieces that are the data file's bytes (names, labels,
// string values in the file's encoding). Only display decodes the file's
// pieces; the byte form (all pieces joined) is what widths count and what the
// command-line tool prints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lv {

struct LinePiece {
    std::string bytes;
    bool fromFile = false;
};

class DisplayLine {
  public:
    DisplayLine() = default;
    // A line made of one literal piece.
    explicit DisplayLine(std::string_view literal) { Literal(literal); }

    DisplayLine& Literal(std::string_view utf8);
    DisplayLine& FromFile(std::string_view bytes);
    DisplayLine& Append(const DisplayLine& other);

    const std::vector<LinePiece>& pieces() const { return pieces_; }
    // All pieces joined, as bytes.
    std::string Bytes() const;
    size_t ByteSize() const;
    // Literal pieces as they are, the file's pieces decoded from encoding.
    std::string ToUtf8(std::string_view encoding) const;

    // An extra text about the line, in the file's bytes (the variable list
    // puts the variable's long name here for tooltips); empty when none.
    const std::string& note() const { return note_; }
    void SetNote(std::string bytes) { note_ = std::move(bytes); }

  private:
    std::vector<LinePiece> pieces_;
    std::string note_;
};

// Where the builders write their lines.
class LineSink {
  public:
    virtual ~LineSink() = default;
    virtual void AddLine(const DisplayLine& line) = 0;
};

// A sink that keeps the lines (tests, the command-line tool).
class LineCollector : public LineSink {
  public:
    void AddLine(const DisplayLine& line) override { lines.push_back(line); }
    // The byte form of every line.
    std::vector<std::string> Bytes() const;
    std::vector<DisplayLine> lines;
};

}  // namespace lv
