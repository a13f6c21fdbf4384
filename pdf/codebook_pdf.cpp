#include "pdf/codebook_pdf.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/export/pdf_outline.h"
#include "core/stats/stats_text.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

// Lengths are in device units of 1/10 point (720 dots per inch): exact
// enough for text placed at fractions of a point.
constexpr double kUnit = 10;
constexpr double kPageWidth = 595 * kUnit, kPageHeight = 842 * kUnit;
constexpr double kLeft = 42 * kUnit, kRight = kPageWidth - 42 * kUnit;
constexpr double kTop = 48 * kUnit, kBottom = kPageHeight - 56 * kUnit;
constexpr double kWidth = kRight - kLeft;
constexpr double kPad = 2.5 * kUnit;
// A cell shows at most this many lines (a very long string value).
constexpr int kCellLines = 12;
constexpr qsizetype kCellCharacters = 1500;

const QColor kInk(0x22, 0x22, 0x22), kRule(0xbb, 0xbb, 0xcc), kHead(0xee, 0xee, 0xff),
    kMissing(0x88, 0x55, 0x55), kBar(0x5b, 0x7b, 0xb5), kNote(0x66, 0x66, 0x66);

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A Latin font first, so that '.' and ',' differ in the figures; then the
// project's Japanese, CJK and wide-coverage fonts for every other script.
QFont MakeFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Qt's output goes to the output file as it is made. A failed write (a
// full disk) is not thrown through Qt's code: Qt hears of a failed write,
// and the failure is thrown once Qt has finished.
class OutputDevice : public QIODevice {
  public:
    explicit OutputDevice(OutputFile& out) : out_(out) { open(QIODevice::WriteOnly); }
    qint64 written() const { return written_; }
    void ThrowFailure() const {
        if (failure_) std::rethrow_exception(failure_);
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failure_) return -1;
        try {
            out_.Write(std::string_view(data, static_cast<size_t>(size)));
        } catch (...) {
            failure_ = std::current_exception();
            return -1;
        }
        written_ += size;
        return size;
    }

  private:
    OutputFile& out_;
    std::exception_ptr failure_;
    qint64 written_ = 0;
};

struct Fonts {
    QFont body = MakeFont(8.5), bodyBold = MakeFont(8.5, true), small = MakeFont(7.5),
          title = MakeFont(18, true), heading = MakeFont(13, true), subheading = MakeFont(10, true);
};

// The pages as they are filled: the cursor, the page number, and the
// painter (none when only measuring).
class Pages {
  public:
    Pages(QPdfWriter& writer, QPainter* painter, int total)
        : writer_(writer), p_(painter), total_(total) {}

    QPainter* painter() const { return p_; }
    QPaintDevice* device() const { return &writer_; }
    int page() const { return page_; }
    double y = kTop;

    void Break() {
        Foot();
        if (p_) writer_.newPage();
        ++page_;
        y = kTop;
    }
    // Room for height below the cursor, on a new page if need be. True when
    // a new page was begun.
    bool Need(double height) {
        if (y + height <= kBottom || y <= kTop) return false;
        Break();
        return true;
    }
    void Finish() { Foot(); }

  private:
    void Foot() {
        if (!p_) return;
        p_->setPen(kNote);
        p_->setFont(MakeFont(7.5));
        const QString text = QStringLiteral("%1 / %2").arg(page_ + 1).arg(total_);
        p_->drawText(QRectF(kLeft, kBottom + 18 * kUnit, kWidth, 12 * kUnit), Qt::AlignHCenter,
                     text);
    }

    QPdfWriter& writer_;
    QPainter* p_;
    int total_;
    int page_ = 0;
};

// Text laid out in lines of width, at most lines of them.
struct Laid {
    std::unique_ptr<QTextLayout> layout;
    int shown = 0;
    double height = 0;
};

Laid LayOut(Pages& pages, QString text, const QFont& font, double width, Qt::Alignment align,
            int lines) {
    if (text.size() > kCellCharacters) text = text.left(kCellCharacters) + QChar(0x2026);
    Laid laid;
    laid.layout = std::make_unique<QTextLayout>(text, font, pages.device());
    QTextLayout& layout = *laid.layout;
    QTextOption option(align);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid() && laid.shown < lines;
         line = layout.createLine(), ++laid.shown) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, laid.height));
        laid.height += line.height();
    }
    layout.endLayout();
    laid.shown = std::min(laid.shown, layout.lineCount());
    return laid;
}

// Draws laid text at (x, y) when there is a painter.
void Draw(Pages& pages, const Laid& laid, const QFont& font, double x, double y,
          const QColor& ink) {
    QPainter* p = pages.painter();
    if (!p) return;
    p->setPen(ink);
    for (int i = 0; i < laid.shown; ++i) laid.layout->lineAt(i).draw(p, QPointF(x, y));
    // Lines left out: an ellipsis after the last one shown.
    if (laid.shown > 0) {
        const QTextLine last = laid.layout->lineAt(laid.shown - 1);
        if (last.textStart() + last.textLength() < laid.layout->text().size()) {
            p->setFont(font);
            p->drawText(
                QPointF(x + last.x() + last.naturalTextWidth(), y + last.y() + last.ascent()),
                QString(QChar(0x2026)));
        }
    }
}

// Text laid out and, when draw, drawn at (x, y); its height.
double Lay(Pages& pages, const QString& text, const QFont& font, double x, double y, double width,
           Qt::Alignment align, int lines, const QColor& ink, bool draw) {
    const Laid laid = LayOut(pages, text, font, width, align, lines);
    if (draw) Draw(pages, laid, font, x, y, ink);
    return laid.height;
}

double Block(Pages& pages, const QString& text, const QFont& font, double x, double y, double width,
             Qt::Alignment align = Qt::AlignLeft, int lines = 10000, const QColor& ink = kInk) {
    return Lay(pages, text, font, x, y, width, align, lines, ink, true);
}

double Measure(Pages& pages, const QString& text, const QFont& font, double width,
               int lines = 10000) {
    return Lay(pages, text, font, 0, 0, width, Qt::AlignLeft, lines, kInk, false);
}

// A paragraph at the cursor, across the full width.
void Paragraph(Pages& pages, const QString& text, const QFont& font, double before = 0,
               const QColor& ink = kInk) {
    const double height = Measure(pages, text, font, kWidth);
    pages.y += before;
    const double lineHeight = QFontMetricsF(font, pages.device()).height();
    pages.Need(std::min(height, lineHeight * 3));
    pages.y += Block(pages, text, font, kLeft, pages.y, kWidth, Qt::AlignLeft, 10000, ink);
}

struct Column {
    QString caption;
    double width;  // a share of the full width
    bool number = false;
};

struct Row {
    std::vector<QString> cells;
    bool missing = false;
    bool heading = false;  // the first cell as a heading (shaded)
};

class Table {
  public:
    Table(Pages& pages, const Fonts& fonts, std::vector<Column> columns, bool header = true)
        : pages_(pages), fonts_(fonts), columns_(std::move(columns)), header_(header) {
        double total = 0;
        for (const Column& c : columns_) total += c.width;
        for (Column& c : columns_) c.width = kWidth * c.width / total;
    }

    void Add(const Row& row) {
        if (header_ && !headerShown_) {
            headerShown_ = true;
            DrawHeader();
        }
        // Each cell laid out once, for its height and then drawn.
        std::vector<Laid> cells = LayRow(row, false);
        if (pages_.Need(Height(cells)) && header_) DrawHeader();
        DrawRow(row, cells, false);
    }
    void End() { pages_.y += 4 * kUnit; }

  private:
    std::vector<Laid> LayRow(const Row& row, bool header) {
        std::vector<Laid> cells;
        for (size_t i = 0; i < row.cells.size() && i < columns_.size(); ++i)
            cells.push_back(LayOut(pages_, row.cells[i], fonts_.body, columns_[i].width - 2 * kPad,
                                   columns_[i].number && !header ? Qt::AlignRight : Qt::AlignLeft,
                                   kCellLines));
        return cells;
    }
    static double Height(const std::vector<Laid>& cells) {
        double height = 0;
        for (const Laid& c : cells) height = std::max(height, c.height);
        return height + 2 * kPad;
    }
    void DrawHeader() {
        Row row;
        for (const Column& c : columns_) row.cells.push_back(c.caption);
        const std::vector<Laid> cells = LayRow(row, true);
        pages_.Need(Height(cells) + 2 * QFontMetricsF(fonts_.body, pages_.device()).height());
        DrawRow(row, cells, true);
    }
    void DrawRow(const Row& row, const std::vector<Laid>& cells, bool header) {
        const double height = Height(cells);
        QPainter* p = pages_.painter();
        double x = kLeft;
        for (size_t i = 0; i < columns_.size(); ++i) {
            const Column& c = columns_[i];
            const QRectF cell(x, pages_.y, c.width, height);
            if (p) {
                if (header || (i == 0 && row.heading)) p->fillRect(cell, kHead);
                p->setPen(QPen(kRule, 0.6 * kUnit));
                p->drawRect(cell);
            }
            if (i < cells.size())
                Draw(pages_, cells[i], fonts_.body, x + kPad, pages_.y + kPad,
                     row.missing ? kMissing : kInk);
            x += c.width;
        }
        pages_.y += height;
    }

    Pages& pages_;
    const Fonts& fonts_;
    std::vector<Column> columns_;
    bool header_;
    bool headerShown_ = false;
};

void Facts(Pages& pages, const Fonts& fonts, const std::vector<CodebookFact>& facts) {
    Table table(pages, fonts, {{QString(), 1}, {QString(), 3}}, false);
    for (const CodebookFact& f : facts) table.Add({{Q(f.caption), Q(f.text)}, false, true});
    table.End();
}

QString CountCell(double weight, bool fractions) {
    return Q(CountText(weight, fractions));
}

std::vector<Column> CountColumns(bool weighted) {
    if (weighted)
        return {{QStringLiteral("度数 (重み付き)"), 1.2, true},
                {QStringLiteral("%"), 0.8, true},
                {QStringLiteral("ケース数"), 1, true},
                {QStringLiteral("%"), 0.8, true}};
    return {{QStringLiteral("度数"), 1.2, true}, {QStringLiteral("%"), 0.8, true}};
}

void AddCounts(std::vector<QString>& cells, const Amount& amount, double percent,
               double casePercent, bool weighted, bool fractions) {
    cells.push_back(CountCell(amount.weight, fractions));
    cells.push_back(Q(PercentText(percent)));
    if (weighted) {
        cells.push_back(QString::number(amount.cases));
        cells.push_back(Q(PercentText(casePercent)));
    }
}

void ValueTable(Pages& pages, const Fonts& fonts, const std::vector<CodebookValueRow>& rows,
                bool weighted, bool fractions) {
    std::vector<Column> columns = {{QStringLiteral("値"), 1.6}, {QStringLiteral("ラベル"), 2.6}};
    for (Column& c : CountColumns(weighted)) columns.push_back(std::move(c));
    columns.push_back({QStringLiteral("有効 %"), 0.8, true});
    Table table(pages, fonts, std::move(columns));
    for (const CodebookValueRow& r : rows) {
        Row row;
        row.missing = r.missing != MissingKind::None;
        row.cells = {Q(r.value), Q(r.label)};
        if (r.missing == MissingKind::User) row.cells[1] += QStringLiteral(" (ユーザー欠損値)");
        AddCounts(row.cells, r.amount, r.percent, r.casePercent, weighted, fractions);
        row.cells.push_back(Q(PercentText(r.validPercent)));
        table.Add(row);
    }
    table.End();
}

void Totals(Pages& pages, const Fonts& fonts, const CodebookSection& s, bool weighted,
            bool fractions) {
    std::vector<Column> columns = {{QString(), 2.2}};
    for (Column& c : CountColumns(weighted)) columns.push_back(std::move(c));
    Table table(pages, fonts, std::move(columns));
    auto row = [&](const char* caption, const Amount& a) {
        const double percent = s.total.weight > 0 ? 100.0 * a.weight / s.total.weight : NAN;
        const double casePercent = s.total.cases > 0 ? 100.0 * static_cast<double>(a.cases) /
                                                           static_cast<double>(s.total.cases)
                                                     : NAN;
        Row r;
        r.heading = true;
        r.cells = {Q(caption)};
        AddCounts(r.cells, a, percent, casePercent, weighted, fractions);
        table.Add(r);
    };
    row("有効", s.valid);
    row("ユーザー欠損値", s.userMissing);
    row("システム欠損値", s.systemMissing);
    row("合計", s.total);
    table.End();
}

void Subheading(Pages& pages, const Fonts& fonts, const QString& text) {
    const double line = QFontMetricsF(fonts.subheading, pages.device()).height();
    // A heading keeps a few lines of what follows with it.
    pages.Need(line + 4 * QFontMetricsF(fonts.body, pages.device()).height());
    pages.y += 3 * kUnit;
    pages.y += Block(pages, text, fonts.subheading, kLeft, pages.y, kWidth);
    pages.y += 2 * kUnit;
}

double BarLength(double weight, double largest, double full) {
    return largest > 0 && weight > 0 ? std::max(0.5 * kUnit, full * weight / largest) : 0;
}

void Chart(Pages& pages, const Fonts& fonts, const CodebookChart& chart) {
    QPainter* p = pages.painter();
    if (chart.kind == CodebookChart::Kind::Bars) {
        const double row = 13 * kUnit, caption = 150 * kUnit, full = 260 * kUnit;
        double largest = 0;
        for (const auto& b : chart.bars) largest = std::max(largest, b.weight);
        pages.Need(row * static_cast<double>(std::min<size_t>(chart.bars.size(), 8)));
        pages.y += 3 * kUnit;
        for (const auto& b : chart.bars) {
            pages.Need(row);
            Block(pages, Q(b.caption), fonts.small, kLeft, pages.y + 1.5 * kUnit,
                  caption - 6 * kUnit, Qt::AlignRight, 1);
            const double length = BarLength(b.weight, largest, full);
            if (p)
                p->fillRect(QRectF(kLeft + caption, pages.y + 2 * kUnit, length, row - 4 * kUnit),
                            kBar);
            Block(pages, Q(CountText(b.weight)), fonts.small, kLeft + caption + length + 4 * kUnit,
                  pages.y + 1.5 * kUnit, 80 * kUnit, Qt::AlignLeft, 1);
            pages.y += row;
        }
    } else if (chart.kind == CodebookChart::Kind::Histogram) {
        const double width = 380 * kUnit, height = 120 * kUnit;
        const auto& bins = chart.histogram.bins;
        double largest = 0;
        for (const auto& b : bins) largest = std::max(largest, b.weight);
        pages.Need(height + 20 * kUnit);
        pages.y += 3 * kUnit;
        const double step = width / static_cast<double>(bins.size());
        if (p) {
            for (size_t i = 0; i < bins.size(); ++i) {
                const double h = BarLength(bins[i].weight, largest, height);
                p->fillRect(QRectF(kLeft + step * static_cast<double>(i), pages.y + height - h,
                                   std::max(step - kUnit, 0.5 * kUnit), h),
                            kBar);
            }
            p->setPen(QPen(kRule, 0.6 * kUnit));
            p->drawLine(QPointF(kLeft, pages.y + height), QPointF(kLeft + width, pages.y + height));
        }
        pages.y += height + 2 * kUnit;
        Block(pages, Q(chart.low), fonts.small, kLeft, pages.y, width / 2);
        Block(pages, Q(chart.high), fonts.small, kLeft + width / 2, pages.y, width / 2,
              Qt::AlignRight);
        pages.y += 12 * kUnit;
        if (!chart.histogram.exact)
            Paragraph(pages, QStringLiteral("値の種類が多いため、上端の区間は推定です。"),
                      fonts.small, 0, kNote);
    }
}

void Variable(Pages& pages, const Fonts& fonts, const CodebookSection& s, bool weighted) {
    // The name and the label isolated (FSI ... PDI), so that a name written
    // right to left leaves the number before it.
    const QString fsi(QChar(0x2068)), pdi(QChar(0x2069));
    QString heading =
        QString::number(s.position) + QStringLiteral(". ") + fsi + Q(s.longName) + pdi;
    if (!s.label.empty()) heading += QStringLiteral("  ") + fsi + Q(s.label) + pdi;
    pages.y += Block(pages, heading, fonts.heading, kLeft, pages.y, kWidth, Qt::AlignLeft, 6);
    if (QPainter* p = pages.painter()) {
        p->setPen(QPen(kRule, 0.8 * kUnit));
        p->drawLine(QPointF(kLeft, pages.y + kUnit), QPointF(kRight, pages.y + kUnit));
    }
    pages.y += 6 * kUnit;
    std::vector<CodebookFact> facts = {
        {"名前", s.name}, {"長い名前", s.longName}, {"ラベル", s.label}};
    facts.insert(facts.end(), s.facts.begin(), s.facts.end());
    facts.push_back({"ユーザー欠損値", s.missingDeclared.empty() ? "なし" : s.missingDeclared});
    Facts(pages, fonts, facts);
    const bool fractions =
        std::any_of(s.values.begin(), s.values.end(),
                    [](const auto& r) { return std::floor(r.amount.weight) != r.amount.weight; }) ||
        std::floor(s.total.weight) != s.total.weight;
    Subheading(pages, fonts, QStringLiteral("度数"));
    Totals(pages, fonts, s, weighted, fractions);
    if (!s.listed) {
        QString summary = QStringLiteral("異なる値: %1%2")
                              .arg(s.distinct)
                              .arg(s.distinctExact ? QString() : QStringLiteral(" 以上"));
        summary += s.frequentOfListed
                       ? QStringLiteral("。度数の多い値 (値の小さい順に最初の %1 個のうち):")
                             .arg(s.frequentAmong)
                       : QStringLiteral("。度数の多い値:");
        Paragraph(pages, summary, fonts.body, 2 * kUnit);
        pages.y += 2 * kUnit;
        ValueTable(pages, fonts, s.frequent, weighted, fractions);
        if (!s.values.empty()) Subheading(pages, fonts, QStringLiteral("値ラベル"));
    }
    if (!s.values.empty()) ValueTable(pages, fonts, s.values, weighted, fractions);
    if (!s.statistics.empty()) {
        Subheading(pages, fonts, QStringLiteral("統計量"));
        Table table(pages, fonts, {{QString(), 1}, {QString(), 1.5, true}, {QString(), 2.5}},
                    false);
        for (const CodebookStatistic& st : s.statistics)
            table.Add({{Q(st.caption), Q(st.text), QString()}, false, true});
        table.End();
    }
    Chart(pages, fonts, s.chart);
}

void TitlePage(Pages& pages, const Fonts& fonts, const CodebookContent& c) {
    const std::vector<CodebookFact> facts = TitleFacts(c);
    pages.y += 40 * kUnit;
    pages.y += Block(pages, QStringLiteral("コードブック: ") + Q(facts.front().text), fonts.title,
                     kLeft, pages.y, kWidth, Qt::AlignLeft, 4);
    pages.y += 14 * kUnit;
    Facts(pages, fonts, facts);
    const std::vector<std::string> lines = DocumentLines(c);
    if (!lines.empty()) {
        Subheading(pages, fonts, QStringLiteral("文書"));
        for (const std::string& line : lines) Paragraph(pages, Q(line), fonts.body);
    }
}

// One line per variable: its number and name, its label cut to the line,
// and its page.
void Contents(Pages& pages, const Fonts& fonts, const CodebookContent& c,
              const std::vector<int>& firstPages, bool sets, int setsPage) {
    pages.y += Block(pages, QStringLiteral("目次"), fonts.heading, kLeft, pages.y, kWidth);
    pages.y += 6 * kUnit;
    const QFontMetricsF metrics(fonts.body, pages.device());
    const double line = metrics.height() + 1.5 * kUnit;
    const double numberWidth = 40 * kUnit, pageWidth = 40 * kUnit;
    const double nameWidth = 150 * kUnit, labelWidth = kWidth - numberWidth - nameWidth - pageWidth;
    auto entry = [&](const QString& number, const QString& name, const QString& label, int page) {
        pages.Need(line);
        if (QPainter* p = pages.painter()) {
            p->setFont(fonts.body);
            p->setPen(kInk);
            const double base = pages.y + metrics.ascent();
            p->drawText(QPointF(kLeft, base), number);
            p->drawText(QPointF(kLeft + numberWidth, base),
                        metrics.elidedText(name, Qt::ElideRight, nameWidth - 6 * kUnit));
            p->setPen(kNote);
            p->drawText(QPointF(kLeft + numberWidth + nameWidth, base),
                        metrics.elidedText(label, Qt::ElideRight, labelWidth - 6 * kUnit));
            p->setPen(kInk);
            const QString text = page >= 0 ? QString::number(page + 1) : QString();
            p->drawText(QPointF(kRight - metrics.horizontalAdvance(text), base), text);
        }
        pages.y += line;
    };
    for (size_t i = 0; i < c.variables.size(); ++i) {
        const DictVariable& v = c.dict->variables[c.variables[i]];
        entry(QString::number(v.position) + QStringLiteral("."),
              Q(ToUtf8(v.longName, c.choice.encoding)),
              v.hasLabel ? Q(ToUtf8(v.label, c.choice.encoding)) : QString(),
              i < firstPages.size() ? firstPages[i] : -1);
    }
    if (sets) entry(QString(), QStringLiteral("多重回答セットと変数セット"), QString(), setsPage);
}

void Sets(Pages& pages, const Fonts& fonts, const std::vector<CodebookSet>& mr,
          const std::vector<CodebookSet>& vs, bool weighted) {
    if (!mr.empty()) {
        pages.y +=
            Block(pages, QStringLiteral("多重回答セット"), fonts.heading, kLeft, pages.y, kWidth);
        pages.y += 4 * kUnit;
    }
    for (const CodebookSet& set : mr) {
        Subheading(pages, fonts, Q(set.name) + QStringLiteral("  ") + Q(set.label));
        Paragraph(pages, QStringLiteral("種類: ") + Q(set.kind), fonts.body);
        if (set.respondersCounted) {
            QString text =
                QStringLiteral("回答のあるケース: ") + Q(CountText(set.responders.weight));
            if (weighted) text += QStringLiteral(" (ケース数 %1)").arg(set.responders.cases);
            Paragraph(pages, text, fonts.body);
        }
        pages.y += 2 * kUnit;
        std::vector<Column> columns = {{QStringLiteral("変数または値"), 1.6},
                                       {QStringLiteral("ラベル"), 2.6}};
        columns.push_back(
            {weighted ? QStringLiteral("度数 (重み付き)") : QStringLiteral("度数"), 1.2, true});
        if (weighted) columns.push_back({QStringLiteral("ケース数"), 1, true});
        Table table(pages, fonts, std::move(columns));
        bool absent = false;
        for (const CodebookSetRow& r : set.rows) {
            const QString dash = QStringLiteral("—");
            Row row{{Q(r.caption), Q(r.label), r.counted ? Q(CountText(r.amount.weight)) : dash}};
            if (weighted) row.cells.push_back(r.counted ? QString::number(r.amount.cases) : dash);
            absent = absent || !r.counted;
            table.Add(row);
        }
        table.End();
        if (absent)
            Paragraph(pages, QStringLiteral("— : この文書に含まれない変数があります。"),
                      fonts.small, 0, kNote);
    }
    if (!vs.empty()) {
        pages.y += 6 * kUnit;
        pages.Need(40 * kUnit);
        pages.y +=
            Block(pages, QStringLiteral("変数セット"), fonts.heading, kLeft, pages.y, kWidth);
        pages.y += 4 * kUnit;
        Table table(pages, fonts, {{QString(), 1}, {QString(), 3}}, false);
        for (const CodebookSet& set : vs) {
            QString names;
            for (size_t i = 0; i < set.variables.size(); ++i)
                names += (i ? QStringLiteral(", ") : QString()) + Q(set.variables[i]);
            table.Add({{Q(set.name), names}, false, true});
        }
        table.End();
    }
}

// What a run over the document learns: the page each variable begins on,
// the height of its heading, the page of the sets, the pages in all.
struct Plan {
    std::vector<int> firstPages;
    std::vector<double> tops;  // points from the page's bottom edge
    int setsPage = -1;
    int total = 0;
};

// One run over the document, drawing when there is a painter. False when
// progress said stop.
bool Run(Pages& pages, const Fonts& fonts, const CodebookContent& c, Plan& plan, bool measuring,
         Progress* progress, size_t done, size_t steps) {
    const std::vector<CodebookSet> mr = MultipleResponseSets(c), vs = VariableSets(c);
    const bool sets = !mr.empty() || !vs.empty();
    TitlePage(pages, fonts, c);
    pages.Break();
    Contents(pages, fonts, c, plan.firstPages, sets, plan.setsPage);
    const bool weighted = c.frequencies.pass.weighted;
    const size_t count = c.frequencies.tables.size();
    for (size_t i = 0; i < count; ++i) {
        if (progress && i % 32 == 0 && !progress->Step(done + i, steps)) return false;
        pages.Break();
        if (measuring) {
            plan.firstPages.push_back(pages.page());
            plan.tops.push_back((kPageHeight - pages.y) / kUnit + 4);
        }
        Variable(pages, fonts, SectionOf(c, i), weighted);
    }
    if (sets) {
        pages.Break();
        if (measuring) plan.setsPage = pages.page();
        Sets(pages, fonts, mr, vs, weighted);
    }
    pages.Finish();
    if (measuring) plan.total = pages.page() + 1;
    return true;
}

}  // namespace

bool WriteCodebookPdf(const CodebookContent& c, OutputFile& out, Progress* progress) {
    const Fonts fonts;
    const size_t steps = 2 * c.frequencies.tables.size() + 1;
    Plan plan;
    qint64 size = 0;
    {
        OutputDevice device(out);
        QPdfWriter writer(&device);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_6);
        writer.setResolution(static_cast<int>(72 * kUnit));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("Lorivane"));
        writer.setTitle(QStringLiteral("コードブック: ") + Q(TitleFacts(c).front().text));
        {
            Pages measure(writer, nullptr, 0);
            if (!Run(measure, fonts, c, plan, true, progress, 0, steps)) return false;
        }
        QPainter painter(&writer);
        Pages pages(writer, &painter, plan.total);
        if (!Run(pages, fonts, c, plan, false, progress, c.frequencies.tables.size(), steps))
            return false;
        painter.end();
        device.ThrowFailure();
        size = device.written();
    }
    out.WriteNow({});
    // The bookmarks, after Qt has written the file: read back by its name
    // (the output file's own descriptor may be write-only).
    const int fd = open(out.writePath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ExportError(Message{MessageCode::PdfNoBookmarks, {out.path(), std::strerror(errno)}});
    std::vector<PdfMark> marks(plan.firstPages.size());
    for (size_t i = 0; i < marks.size(); ++i)
        marks[i] = {static_cast<uint32_t>(plan.firstPages[i]), plan.tops[i]};
    auto title = [&c](size_t i) {
        const DictVariable& v = c.dict->variables[c.variables[i]];
        std::string text =
            std::to_string(v.position) + ". " + ToUtf8(v.longName, c.choice.encoding);
        if (v.hasLabel) text += "  " + ToUtf8(v.label, c.choice.encoding);
        return text;
    };
    std::string update;
    try {
        update = PdfOutlineUpdate(fd, static_cast<uint64_t>(size), marks, title);
    } catch (const PdfOutlineError& e) {
        close(fd);
        throw ExportError(Message{MessageCode::PdfNoBookmarks, {out.path(), e.what()}});
    }
    close(fd);
    out.Write(update);
    return true;
}

}  // namespace lv
