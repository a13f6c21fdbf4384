// Turning the builders' lines into what the Qt windows show: the file's
// pieces decoded with lv::DisplayEncoding(), sinks for list boxes and text
// areas, and the decoding again of what the sinks wrote when that encoding
// changes (the sinks keep each line's pieces for it).
#pragma once

#include <QMetaType>
#include <QString>
#include <string_view>

#include "core/text/display_line.h"

class QListWidget;
class QPlainTextEdit;

namespace lv {

// The list item role that keeps a line's bytes (QByteArray).
inline constexpr int kLineBytesRole = Qt::UserRole + 1;
// The list item role that keeps the line itself (lv::DisplayLine).
inline constexpr int kDisplayLineRole = Qt::UserRole + 2;

// File bytes decoded with lv::DisplayEncoding().
QString FileText(std::string_view bytes);

// A whole line. With alignColumns, each file piece whose decoded text takes
// fewer screen columns than it has bytes (a UTF-8 character of 2 to 4 bytes
// takes 1 or 2) is followed by the difference in blanks, so that byte-counted
// fixed columns still line up in a fixed-pitch font (the last piece needs none).
QString LineText(const DisplayLine& line, bool alignColumns = false);

// Screen columns of text in a fixed-pitch Japanese font: 2 for wide
// characters (CJK, full-width forms), 1 otherwise.
int ScreenColumns(const QString& text);

// Adds lines to a list box: the decoded, column-aligned text, the bytes under
// kLineBytesRole and the note (decoded) as the tooltip.
class ListBoxSink : public LineSink {
  public:
    explicit ListBoxSink(QListWidget* list) : list_(list) {}
    void AddLine(const DisplayLine& line) override;

  private:
    QListWidget* list_;
};

// Appends lines at the end of a text area. Lines with file pieces remember
// them, for RedecodeTextArea.
class TextAreaSink : public LineSink {
  public:
    explicit TextAreaSink(QPlainTextEdit* area) : area_(area) {}
    void AddLine(const DisplayLine& line) override;

  private:
    QPlainTextEdit* area_;
};

// Decodes the file pieces of every line a ListBoxSink added again, text and
// tooltip.
void RedecodeListBox(QListWidget* list);

// Decodes the file pieces of the lines a TextAreaSink appended again, except
// those lines the user has edited since.
void RedecodeTextArea(QPlainTextEdit* area);
// Leaves every line now in the text area as it is shown, for good: the lines
// of an earlier file keep their decoding.
void ForgetFileLines(QPlainTextEdit* area);

}  // namespace lv

Q_DECLARE_METATYPE(lv::DisplayLine)
