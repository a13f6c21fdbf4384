#include "forms/seam/display_text.h"

#include <QByteArray>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "core/text/display_encoding.h"

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

bool HasFilePieces(const DisplayLine& line) {
    for (const LinePiece& piece : line.pieces())
        if (piece.fromFile) return true;
    return false;
}

// What a text area's block keeps of the line it was written from: the line,
// and the text it was last shown as (a block whose text differs has been
// edited by the user and is left alone).
struct FileLineData : QTextBlockUserData {
    FileLineData(DisplayLine l, QString s) : line(std::move(l)), shown(std::move(s)) {}
    DisplayLine line;
    QString shown;
};

void SetItemTexts(QListWidgetItem* item, const DisplayLine& line) {
    item->setText(LineText(line, true));
    if (!line.note().empty()) item->setToolTip(FileText(line.note()));
}

}  // namespace

QString FileText(std::string_view bytes) {
    return QString::fromStdString(ToUtf8(bytes, DisplayEncoding()));
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
    auto* item = new QListWidgetItem();
    SetItemTexts(item, line);
    const std::string bytes = line.Bytes();
    item->setData(kLineBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    item->setData(kDisplayLineRole, QVariant::fromValue(line));
    list_->addItem(item);
}

void TextAreaSink::AddLine(const DisplayLine& line) {
    // Lines are only ever appended at the end.
    QTextCursor cursor(area_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    const QString text = LineText(line);
    cursor.insertText(text);
    if (HasFilePieces(line)) cursor.block().setUserData(new FileLineData(line, text));
}

void RedecodeListBox(QListWidget* list) {
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const QVariant line = item->data(kDisplayLineRole);
        if (line.isValid()) SetItemTexts(item, line.value<DisplayLine>());
    }
}

void RedecodeTextArea(QPlainTextEdit* area) {
    QTextCursor cursor(area->document());
    cursor.beginEditBlock();  // one step for undo
    for (QTextBlock block = area->document()->begin(); block.isValid(); block = block.next()) {
        auto* data = static_cast<FileLineData*>(block.userData());
        if (!data || block.text() != data->shown) continue;
        const QString text = LineText(data->line);
        if (text == data->shown) continue;
        cursor.setPosition(block.position());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(text);
        if (auto* kept = static_cast<FileLineData*>(cursor.block().userData())) kept->shown = text;
    }
    cursor.endEditBlock();
}

void ForgetFileLines(QPlainTextEdit* area) {
    for (QTextBlock block = area->document()->begin(); block.isValid(); block = block.next())
        if (block.userData()) block.setUserData(nullptr);
}

}  // namespace lv
