#include "core/windows/file_info_lines.h"

#include <cstdio>
#include <string>

#include "core/dictionary/dictionary_words.h"
#include "core/rendering/format_traits.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

constexpr int kCaptionColumns = 20;
constexpr std::string_view kIndent = "  ";
constexpr std::string_view kNone = "(なし)";

// "caption:" padded with blanks to the value column.
DisplayLine Caption(std::string_view caption) {
    std::string text(caption);
    text += ':';
    const int used = LiteralColumns(text);
    text.append(static_cast<size_t>(std::max(1, kCaptionColumns - used)), ' ');
    return DisplayLine(text);
}

// The continuation of a value on the next line, under the value column.
DisplayLine Continued() {
    return DisplayLine(std::string(kCaptionColumns, ' '));
}

void Line(LineSink& sink, std::string_view caption, std::string_view literal) {
    sink.AddLine(Caption(caption).Literal(literal));
}

void FileLine(LineSink& sink, std::string_view caption, std::string_view bytes) {
    DisplayLine line = Caption(caption);
    if (bytes.empty())
        line.Literal(kNone);
    else
        line.FromFile(bytes);
    sink.AddLine(line);
}

// A text of several lines (LF, CR LF or CR), the first after the caption.
void MultiLine(LineSink& sink, std::string_view caption, std::string_view bytes) {
    if (bytes.empty()) {
        Line(sink, caption, kNone);
        return;
    }
    bool first = true;
    size_t pos = 0;
    while (pos <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        DisplayLine line = first ? Caption(caption) : Continued();
        sink.AddLine(line.FromFile(bytes.substr(pos, end - pos)));
        first = false;
        if (end == bytes.size()) break;
        pos = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

void Heading(LineSink& sink, std::string_view title, size_t count) {
    sink.AddLine(DisplayLine());
    sink.AddLine(DisplayLine(std::string(title) + " (" + std::to_string(count) + ")"));
}

void HeaderLines(const FileDictionary& d, std::string_view used, LineSink& sink) {
    const spssFileHeaderInfo& h = d.header;
    Line(sink, "ファイル", d.path);
    FileLine(sink, "製品", d.product);
    sink.AddLine(Caption("作成日時").FromFile(d.date).Literal(" ").FromFile(d.time));
    FileLine(sink, "ファイルラベル", d.fileLabel);
    Line(sink, "圧縮", CompressionText(h.compression));
    Line(sink, "バイト順",
         std::string(h.bigEndian ? "ビッグエンディアン" : "リトルエンディアン") +
             " (レイアウトコード " + std::to_string(h.layoutCode) + ")");
    Line(sink, "ケース数",
         std::to_string(d.caseCount) + " (ヘッダー: " + std::to_string(h.headerCaseCount) +
             ", 64ビット記録: " +
             (h.caseCount64 < 0 ? std::string("なし") : std::to_string(h.caseCount64)) + ")");
    Line(sink, "変数の数",
         std::to_string(d.variables.size()) + " (スロット数: " + std::to_string(h.slotCount) +
             ", ヘッダーの記録: " + std::to_string(h.nominalCaseSize) + ")");
    FileLine(sink, "重みづけ変数", d.weightVariable);
    Line(sink, "圧縮バイアス", NumberText(h.bias));
    if (d.hasReleaseInfo) {
        const int* r = d.release;
        Line(sink, "リリース",
             std::to_string(r[SPSS_RELINFO_MAJOR]) + "." + std::to_string(r[SPSS_RELINFO_MINOR]) +
                 "." + std::to_string(r[SPSS_RELINFO_REVISION]) + " (機種コード " +
                 std::to_string(r[SPSS_RELINFO_MACHINE_CODE]) + ", 浮動小数点表現 " +
                 std::to_string(r[SPSS_RELINFO_FLOAT_REP]) + ", 圧縮コード " +
                 std::to_string(r[SPSS_RELINFO_COMPRESSION]) + ", バイト順 " +
                 std::to_string(r[SPSS_RELINFO_ENDIANNESS]) + ")");
    } else {
        Line(sink, "リリース", "(記録なし)");
    }
    if (d.hasFloatInfo) {
        Line(sink, "SYSMIS", NumberText(d.sysmis));
        Line(sink, "HIGHEST", NumberText(d.highest));
        Line(sink, "LOWEST", NumberText(d.lowest));
    } else {
        Line(sink, "SYSMIS", "(記録なし)");
    }
    DisplayLine encoding = Caption("文字コード");
    encoding.Literal(std::string(used) + " (文字コードレコード: ");
    if (d.encodingRecord.empty())
        encoding.Literal("なし");
    else
        encoding.FromFile(d.encodingRecord);
    encoding.Literal(", 文字コード番号: " +
                     (d.hasReleaseInfo ? std::to_string(d.characterCode) : std::string("なし")) +
                     ")");
    sink.AddLine(encoding);
    MultiLine(sink, "製品情報", d.productInfo);
}

void AttributeLines(const std::vector<DictAttribute>& attributes, LineSink& sink,
                    std::string_view indent) {
    for (const DictAttribute& a : attributes) {
        for (size_t k = 0; k < a.values.size(); ++k) {
            DisplayLine line(indent);
            line.FromFile(a.name);
            if (a.values.size() > 1) line.Literal("[" + std::to_string(k + 1) + "]");
            sink.AddLine(line.Literal(": ").FromFile(a.values[k]));
        }
    }
}

void SetLines(const FileDictionary& d, LineSink& sink) {
    Heading(sink, "多重回答セット", d.mrsets.size());
    for (const DictMultRespSet& s : d.mrsets) {
        DisplayLine line(kIndent);
        line.FromFile(s.name).Literal(s.dichotomy ? "  2分法 (計数値 " : "  カテゴリ");
        if (s.dichotomy) {
            line.FromFile(s.countedValue)
                .Literal(s.countedValueLabels ? ", カテゴリラベル: 計数値)"
                                              : ", カテゴリラベル: 変数ラベル)");
        }
        line.Literal("  ラベル: ");
        if (s.label.empty())
            line.Literal(kNone);
        else
            line.FromFile(s.label);
        if (s.labelFromFirstVar) line.Literal(" (最初の変数のラベル)");
        sink.AddLine(line);
        DisplayLine members(std::string(kIndent) + std::string(kIndent) + "変数:");
        for (const std::string& v : s.variables) members.Literal(" ").FromFile(v);
        sink.AddLine(members);
    }
    Heading(sink, "変数セット", d.variableSets.size());
    for (const DictVarSet& s : d.variableSets) {
        DisplayLine line(kIndent);
        line.FromFile(s.name).Literal(":");
        for (const std::string& v : s.variables) line.Literal(" ").FromFile(v);
        sink.AddLine(line);
    }
}

std::string Right(const std::string& text, int width) {
    return std::string(static_cast<size_t>(std::max(0, width - int(text.size()))), ' ') + text;
}

}  // namespace

std::string_view CompressionText(int compression) {
    switch (compression) {
        case SPSS_COMPRESSION_BYTECODE:
            return "バイトコード";
        case SPSS_COMPRESSION_ZLIB:
            return "zlib";
        default:
            return "なし";
    }
}

std::string_view AlignmentText(int alignment) {
    switch (alignment) {
        case SPSS_ALIGN_LEFT:
            return "左";
        case SPSS_ALIGN_RIGHT:
            return "右";
        case SPSS_ALIGN_CENTER:
            return "中央";
        default:
            return "(記録なし)";
    }
}

std::string_view RoleText(int role) {
    static constexpr std::string_view kTexts[] = {"入力", "ターゲット", "両方",
                                                  "なし", "区分",       "分割"};
    return role >= 0 && role < 6 ? kTexts[role] : kTexts[0];
}

int LiteralColumns(std::string_view utf8) {
    int columns = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            ++columns;
        else if ((c & 0xC0) != 0x80)
            columns += 2;
    }
    return columns;
}

void FileInfoLines(const FileDictionary& d, std::string_view encoding, LineSink& sink) {
    HeaderLines(d, encoding, sink);
    Heading(sink, "文書", d.documents.size());
    for (const std::string& line : d.documents) sink.AddLine(DisplayLine(kIndent).FromFile(line));
    Heading(sink, "ファイル属性", d.attributes.size());
    AttributeLines(d.attributes, sink, kIndent);
    SetLines(d, sink);
    Heading(sink, "拡張レコード", d.extensions.size());
    if (!d.extensions.empty())
        sink.AddLine(DisplayLine("  サブタイプ    サイズ      個数        位置"));
    for (const spssExtensionRecord& r : d.extensions) {
        char offset[24];
        std::snprintf(offset, sizeof offset, "0x%llx", r.offset);
        sink.AddLine(DisplayLine(std::string(kIndent) + Right(std::to_string(r.subtype), 10) +
                                 Right(std::to_string(r.size), 10) +
                                 Right(std::to_string(r.count), 10) + Right(offset, 12)));
    }
    Heading(sink, "警告", d.warnings.size());
    for (const std::string& w : d.warnings) sink.AddLine(DisplayLine(kIndent).FromFile(w));
}

void VariableDetailLines(const FileDictionary& d, LineSink& sink) {
    for (const DictVariable& v : d.variables) {
        sink.AddLine(DisplayLine());
        DisplayLine title("変数 " + std::to_string(v.position) + ": ");
        title.FromFile(v.name);
        if (v.longName != v.name) title.Literal(" (").FromFile(v.longName).Literal(")");
        sink.AddLine(title);
        FileLine(sink, "  ラベル", v.hasLabel ? v.label : std::string());
        Line(sink, "  型", TypeText(v));
        Line(sink, "  書式", "表示 " + FormatText(v.print) + ", 書き込み " + FormatText(v.write));
        Line(sink, "  尺度",
             MeasureText(v.measure).empty() ? "(記録なし)" : MeasureText(v.measure));
        Line(sink, "  表示幅",
             v.columnWidth < 0 ? std::string("(記録なし)") : std::to_string(v.columnWidth));
        Line(sink, "  配置", AlignmentText(v.alignment));
        Line(sink, "  役割", RoleText(v.role));
        if (!v.attributes.empty()) {
            sink.AddLine(DisplayLine("  属性:"));
            AttributeLines(v.attributes, sink, "    ");
        }
        const size_t labels = v.numericLabels.size() + v.stringLabels.size();
        if (labels > 0) sink.AddLine(DisplayLine("  値ラベル:"));
        for (const auto& [value, label] : v.numericLabels)
            sink.AddLine(DisplayLine("    " + NumberText(value) + " = ").FromFile(label));
        for (const auto& [value, label] : v.stringLabels)
            sink.AddLine(DisplayLine("    \"").FromFile(value).Literal("\" = ").FromFile(label));
        DisplayLine missing = Caption("  欠損値");
        if (v.missingCode == SPSS_NO_MISSVAL) {
            missing.Literal(kNone);
        } else if (!v.isString()) {
            missing.Literal(MissingValuesText(v, "UTF-8"));
        } else {
            for (int k = 0; k < v.missingCode && k < 3; ++k) {
                if (k) missing.Literal("; ");
                missing.Literal("\"").FromFile(v.missingText[k]).Literal("\"");
            }
        }
        sink.AddLine(missing);
    }
}

}  // namespace lv
