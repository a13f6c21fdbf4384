#include "forms/displaytext.h"

#include <QByteArray>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "core/textcodec.h"

namespace lv {
namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

QString FileText(std::string_view bytes) {
    return QString::fromStdString(ToUtf8(bytes, CurrentFileEncoding()));
}

int ScreenColumns(const QString& text) {
    int columns = 0;
    for (char32_t c : text.toUcs4()) columns += IsWide(c) ? 2 : 1;
    return columns;
}

QString LineText(const DisplayLine& line, bool alignColumns) {
    QString text;
    const auto& pieces = line.pieces();
    for (size_t i = 0; i < pieces.size(); ++i) {
        const LinePiece& piece = pieces[i];
        if (!piece.fromFile) {
            text += QString::fromStdString(piece.bytes);
            continue;
        }
        const QString decoded = FileText(piece.bytes);
        text += decoded;
        if (alignColumns && i + 1 < pieces.size()) {  // nothing follows the last piece
            const int missing = static_cast<int>(piece.bytes.size()) - ScreenColumns(decoded);
            if (missing > 0) text += QString(missing, QLatin1Char(' '));
        }
    }
    return text;
}

void ListBoxSink::AddLine(const DisplayLine& line) {
    // The item is complete before it joins the list: a change to an item in
    // a list makes the list search for its row, which made a list of 100,000
    // lines take seconds to fill.
    auto* item = new QListWidgetItem(LineText(line, true));
    const std::string bytes = line.Bytes();
    item->setData(kLineBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!line.note().empty()) item->setToolTip(FileText(line.note()));
    list_->addItem(item);
}

void TextAreaSink::AddLine(const DisplayLine& line) {
    // Lines are only ever appended at the end.
    QTextCursor cursor(area_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(LineText(line));
}

}  // namespace lv
