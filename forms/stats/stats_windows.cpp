#include "forms/stats/stats_windows.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "core/codebook/codebook_content.h"
#include "core/codebook/codebook_html.h"
#include "core/dictionary/dictionary_words.h"
#include "core/export/output_file.h"
#include "core/export/text_file.h"
#include "core/state/dialogs.h"
#include "core/state/japanese_messages.h"
#include "core/state/spssdio1.h"
#include "core/stats/crosstab_tests.h"
#include "core/stats/stats_text.h"
#include "core/text/display_encoding.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/progress_dialog.h"
#include "forms/stats/grid_navigator.h"
#include "forms/stats/statistic_choice.h"
#include "forms/stats/stats_chart.h"
#include "pdf/codebook_pdf.h"

namespace lv {
namespace {

QString Decoded(const std::string& bytes) {
    return QString::fromStdString(ToUtf8(bytes, DisplayEncoding()));
}

QString Shown(const StatsVariable& v) {
    return Decoded(v.longName().empty() ? v.name() : v.longName());
}

// A table cell that sorts by number when it holds one.
class Cell : public QTableWidgetItem {
  public:
    Cell(const QString& text, double number = NAN) : QTableWidgetItem(text), number_(number) {
        setFlags(flags() & ~Qt::ItemIsEditable);
        if (std::isfinite(number)) setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* o = dynamic_cast<const Cell*>(&other);
        if (o && std::isfinite(number_) && std::isfinite(o->number_)) return number_ < o->number_;
        if (o && std::isfinite(number_) != std::isfinite(o->number_)) return std::isfinite(number_);
        return QTableWidgetItem::operator<(other);
    }

  private:
    double number_;
};

QTableWidget* MakeTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setFont(WithLatinDigits(table->font()));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table for the next widget; the arrow keys move in it.
    table->setTabKeyNavigation(false);
    return table;
}

void SetRow(QTableWidget* table, int row, const std::vector<QTableWidgetItem*>& cells) {
    for (size_t c = 0; c < cells.size(); ++c) table->setItem(row, static_cast<int>(c), cells[c]);
}

// The dictionary of the file shown, with the grid's computed columns
// after its variables when the grid shows it.
std::shared_ptr<FileDictionary> CurrentDictionary() {
    if (spssdio1::DataFileName.empty()) return nullptr;
    auto dict = std::make_shared<FileDictionary>();
    if (ReadFileDictionary(spssdio1::DataFileName, dict.get()) != 0) {
        CurrentDialogs().ShowMessage("ファイルを読めません");
        return nullptr;
    }
    const GridNavigator* grid = CurrentGridNavigator();
    if (grid && grid->ShowsFile(dict->path))
        if (const auto computed = grid->ComputedDictionary())
            // The grid's computed variables, after this file's own.
            if (const auto derived = grid->Computed();
                derived && size_t(derived->fileVariables()) == dict->variables.size() &&
                computed->variables.size() >= dict->variables.size())
                dict->variables.insert(dict->variables.end(),
                                       computed->variables.begin() + derived->fileVariables(),
                                       computed->variables.end());
    return dict;
}

// The file a window counts, opened with the grid's computed columns when
// dict holds some; null when it holds none (the pass opens the file
// itself). A computed column the grid no longer has fails the pass with
// its message.
std::unique_ptr<ReaderHandle> CountedFile(const FileDictionary& dict) {
    if (dict.variables.empty() || dict.variables.back().expression.empty()) return nullptr;
    const GridNavigator* grid = CurrentGridNavigator();
    auto file = std::make_unique<ReaderHandle>();
    if (file->Open(dict.path) != 0) return nullptr;
    if (grid && grid->ShowsFile(dict.path)) file->SetDerived(grid->Computed());
    return file;
}

// Says why a pass ended without tables (a cancel says nothing).
bool Finished(const PassResult& pass) {
    if (pass.outcome == PassOutcome::Complete) return true;
    if (pass.outcome == PassOutcome::Failed) {
        std::string message = "集計できません：";
        message += JapaneseText(pass.error);
        CurrentDialogs().ShowMessage(message);
    }
    return false;
}

// The selected rows (every row when none is whole), under the column
// headings, as tab-separated lines.
void CopyRows(QTableWidget* table) {
    QStringList headings;
    for (int c = 0; c < table->columnCount(); ++c) {
        if (table->isColumnHidden(c)) continue;
        const QTableWidgetItem* heading = table->horizontalHeaderItem(c);
        headings << (heading ? heading->text() : QString());
    }
    QString text = headings.join(QLatin1Char('\t')) + QLatin1Char('\n');
    const auto selected = table->selectionModel()->selectedRows();
    for (int r = 0; r < table->rowCount(); ++r) {
        if (!selected.isEmpty() && !table->selectionModel()->isRowSelected(r, QModelIndex()))
            continue;
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            if (!table->isColumnHidden(c))
                cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

// コピー (Ctrl+C) of a table, for its keys and its context menu.
QAction* AddCopy(QTableWidget* table) {
    auto* copy = new QAction(QStringLiteral("コピー"), table);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(copy);
    QObject::connect(copy, &QAction::triggered, table, [table] { CopyRows(table); });
    return copy;
}

// The value a category of a table stands for.
CaseValue ValueOf(int column, bool isString, double number, std::string_view text,
                  MissingKind missing) {
    using K = ConditionValue::Kind;
    const K kind = isString                         ? K::Text
                   : missing == MissingKind::System ? K::SystemMissing
                   : missing == MissingKind::User   ? K::UserMissingNumber
                                                    : K::Number;
    return {column, {kind, number, text}};
}

// The grid when it shows the file dict describes with every column of
// values; otherwise says what to do and gives null.
GridNavigator* GridShowing(const FileDictionary& dict, std::span<const CaseValue> values) {
    GridNavigator* grid = CurrentGridNavigator();
    bool shows = grid && grid->ShowsFile(dict.path);
    for (const CaseValue& v : values) shows = shows && v.column < grid->columnCount();
    if (!shows) {
        CurrentDialogs().ShowMessage("データグリッドを開くと、その値のケースに移動できます");
        return nullptr;
    }
    return grid;
}

void GoToFirstCase(const FileDictionary& dict, std::span<const CaseValue> values) {
    if (values.empty()) return;
    GridNavigator* grid = GridShowing(dict, values);
    if (grid && !grid->GoToFirstCase(values))
        CurrentDialogs().ShowMessage("その値のケースはグリッドにありません");
}

// Sets the grid's filter to the cases holding every value.
void ShowOnly(const FileDictionary& dict, std::span<const CaseValue> values) {
    if (values.empty()) return;
    GridNavigator* grid = GridShowing(dict, values);
    const std::string condition = ValuesCondition(dict, values);
    if (grid && !condition.empty()) grid->ShowOnly(Decoded(condition));
}

// The grid's filter, when it shows dict's file with some cases left out.
CaseFilter GridFilter(const FileDictionary& dict) {
    const GridNavigator* grid = CurrentGridNavigator();
    if (!grid || !grid->ShowsFile(dict.path)) return std::nullopt;
    return grid->Filter();
}

const CaseNumbers* Selected(const CaseFilter& filter) {
    return filter ? &filter->cases : nullptr;
}

// A line saying which cases a window counted; hidden without a filter.
QLabel* FilterNote(QWidget* parent, const CaseFilter& filter) {
    auto* note = new QLabel(parent);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note->setWordWrap(true);
    if (filter)
        note->setText(FilterNoteText(filter->condition, filter->cases.size(), filter->total));
    note->setVisible(filter.has_value());
    return note;
}

// The context menu of a table whose cells stand for values.
template <typename Go, typename Only>
void AddCaseMenu(QTableWidget* table, Go go, Only only) {
    QAction* copy = AddCopy(table);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(table, &QWidget::customContextMenuRequested, table,
                     [table, go, only, copy](const QPoint& at) {
                         const QModelIndex index = table->indexAt(at);
                         if (!index.isValid()) return;
                         QMenu menu(table);
                         const int row = index.row(), column = index.column();
                         menu.addAction(QStringLiteral("この値のケースへ移動"), table,
                                        [=] { RunHandler([=] { go(row, column); }); });
                         menu.addAction(QStringLiteral("この値のケースだけ表示"), table,
                                        [=] { RunHandler([=] { only(row, column); }); });
                         menu.addSeparator();
                         menu.addAction(copy);
                         menu.exec(table->viewport()->mapToGlobal(at));
                     });
}

}  // namespace

// ---- 度数分布 ----

FrequencyWindow::FrequencyWindow(std::shared_ptr<FileDictionary> dict, int variable,
                                 CaseFilter filter)
    : dict_(std::move(dict)), variable_(variable), filter_(std::move(filter)) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 720);
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(title_);
    layout->addWidget(FilterNote(this, filter_));
    unweighted = new QCheckBox(QStringLiteral("重み付けしない"), this);
    unweighted->setVisible(!dict_->weightVariable.empty());
    layout->addWidget(unweighted);
    table =
        MakeTable(this, {QStringLiteral("値"), QStringLiteral("値ラベル"), QStringLiteral("度数"),
                         QStringLiteral("パーセント"), QStringLiteral("有効パーセント"),
                         QStringLiteral("累積パーセント"), QString()});
    layout->addWidget(table, 3);
    auto* choices = new QHBoxLayout;
    chooseStatistics = new QPushButton(QStringLiteral("表示する統計量"), this);
    chooseStatistics->setMenu(FrequencyStatisticsMenu(chooseStatistics, [this] {
        if (result_.variable.dict) FillStatistics();
    }));
    percentiles = new QLineEdit(RememberedPercentiles(), this);
    percentiles->setPlaceholderText(QStringLiteral("例: 5,10,90,95"));
    percentiles->setToolTip(
        QStringLiteral("四分位のほかに求めるパーセンタイルを、0 から 100 の数でコンマで区切って入力"
                       "します"));
    if (!ParsePercentiles(percentiles->text().toStdString(), asked_)) percentiles->clear();
    auto* percentLabel = new QLabel(QStringLiteral("パーセンタイル(&P):"), this);
    percentLabel->setBuddy(percentiles);
    choices->addWidget(chooseStatistics);
    choices->addWidget(percentLabel);
    choices->addWidget(percentiles, 1);
    layout->addLayout(choices);
    statistics = MakeTable(this, {QStringLiteral("統計量"), QStringLiteral("値")});
    AddCopy(statistics);
    layout->addWidget(statistics, 2);
    connect(percentiles, &QLineEdit::editingFinished, this,
            [this] { RunHandler([this] { AskPercentiles(); }); });
    chartHolder_ = new QWidget(this);
    chartHolder_->setLayout(new QVBoxLayout);
    chartHolder_->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartHolder_, 4);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("グラフを保存..."), this);
    auto* copy = new QPushButton(QStringLiteral("グラフをコピー"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    buttons->addWidget(save);
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] { RunHandler([this] { SaveImage(); }); });
    connect(copy, &QPushButton::clicked, this, [this] {
        if (chart) CopyChart(chart);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(unweighted, &QCheckBox::toggled, this,
            [this](bool on) { RunHandler([this, on] { Count(!on); }); });
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { RunHandler([this, row] { GoToCases(row); }); });
    AddCaseMenu(
        table, [this](int row, int) { GoToCases(row); },
        [this](int row, int) { ShowOnlyCases(row); });
}

bool FrequencyWindow::Count(bool weighted) {
    DialogProgress progress(isVisible() ? this : nullptr,
                            QStringLiteral("度数を数えています... %1 / %2"));
    FrequencyResult r =
        RunFrequencies(*dict_, {variable_}, weighted, &progress, ValueTally::kDefaultKept,
                       Selected(filter_), CountedFile(*dict_).get(), asked_);
    if (!Finished(r.pass)) return false;
    weighted_ = weighted;
    result_ = std::move(r.tables.front());
    Fill();
    return true;
}

void FrequencyWindow::Fill() {
    const FrequencyTable& t = result_;
    const StatsVariable& v = t.variable;
    QString title = Shown(v);
    if (!v.dict->label.empty()) title += QStringLiteral("  ") + Decoded(v.dict->label);
    setWindowTitle(QStringLiteral("度数分布 - ") + Shown(v));
    title_->setText(title);
    table->setRowCount(0);
    table->setRowCount(static_cast<int>(t.rows.size()) + 1);
    int r = 0;
    const bool fractions = CountsWithFractions(t);
    for (const FrequencyRow& row : t.rows) {
        QString value = Decoded(row.valueText);
        if (row.kind == FrequencyRow::Kind::More)
            value = QStringLiteral("ほか %1%2 個の値")
                        .arg(row.moreExact ? QString() : QStringLiteral("少なくとも "))
                        .arg(row.moreValues);
        QString note;
        if (row.missing == MissingKind::User) note = QStringLiteral("欠損値");
        if (row.missing == MissingKind::System) note = QStringLiteral("システム欠損値");
        SetRow(table, r++,
               {new Cell(value), new Cell(Decoded(row.label)),
                new Cell(QString::fromStdString(CountText(row.amount.weight, fractions)),
                         row.amount.weight),
                new Cell(QString::fromStdString(PercentText(row.percent)), row.percent),
                new Cell(QString::fromStdString(PercentText(row.validPercent)), row.validPercent),
                new Cell(QString::fromStdString(PercentText(row.cumulativePercent)),
                         row.cumulativePercent),
                new Cell(note)});
    }
    SetRow(table, r,
           {new Cell(QStringLiteral("合計")), new Cell(QString()),
            new Cell(QString::fromStdString(CountText(t.total.weight, fractions)), t.total.weight),
            new Cell(QString::fromStdString(PercentText(t.total.weight > 0 ? 100.0 : NAN)),
                     t.total.weight > 0 ? 100.0 : NAN)});
    table->resizeColumnsToContents();

    FillStatistics();

    delete chart;
    chart = MakeFrequencyChart(t, chartHolder_);
    // Nothing in the chart answers a key: Tab passes it by.
    chart->setFocusPolicy(Qt::NoFocus);
    chartHolder_->layout()->addWidget(chart);
}

void FrequencyWindow::FillStatistics() {
    const FrequencyTable& t = result_;
    const StatsVariable& v = t.variable;
    std::vector<std::pair<QString, QString>> lines;
    const auto count = [&](const Amount& a) {
        QString text = QString::fromStdString(CountText(a.weight));
        if (t.weighted) text += QStringLiteral("（%1 ケース）").arg(a.cases);
        return text;
    };
    lines.push_back({QStringLiteral("有効数"), count(t.valid)});
    lines.push_back({QStringLiteral("欠損値（ユーザー）"), count(t.userMissing)});
    lines.push_back({QStringLiteral("欠損値（システム）"), count(t.systemMissing)});
    if (t.weighted) lines.push_back({QStringLiteral("重み付け"), Decoded(dict_->weightVariable)});
    if (!v.isString()) {
        const Descriptives& s = t.stats;
        for (const StatisticLine& line : StatisticLines(s, *v.dict)) {
            if (!FrequencyStatisticShown(line.key)) continue;
            QString name = StatisticName(line.key);
            if (line.key == "mode" && s.modeCount > 1)
                name += QStringLiteral("（%1 個のうち最小）").arg(s.modeCount);
            lines.push_back({name, Decoded(line.text)});
        }
        if (s.percentilesExact)
            lines.push_back(
                {QStringLiteral("パーセンタイルの定義"), QStringLiteral("(W+1)p の加重平均")});
    }
    statistics->setRowCount(0);
    statistics->setRowCount(static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i)
        SetRow(statistics, static_cast<int>(i),
               {new Cell(lines[i].first), new Cell(lines[i].second)});
    statistics->resizeColumnsToContents();
}

void FrequencyWindow::AskPercentiles() {
    std::vector<AskedPercentile> asked;
    if (!ParsePercentiles(percentiles->text().toStdString(), asked)) {
        CurrentDialogs().ShowMessage(
            "パーセンタイルは 0 から 100 の数をコンマで区切って入力してください（例: 5,10,90,95）");
        return;
    }
    const auto same = [](const AskedPercentile& a, const AskedPercentile& b) {
        return a.text == b.text;
    };
    if (std::equal(asked.begin(), asked.end(), asked_.begin(), asked_.end(), same)) return;
    RememberPercentiles(percentiles->text());
    std::swap(asked_, asked);
    // A cancelled count keeps the table it had, and what it was asked.
    if (!Count(weighted_)) asked_ = std::move(asked);
}

void FrequencyWindow::SaveImage() {
    if (!chart) return;
    const auto choice = CurrentDialogs().SaveFileAs("PNG 画像|*.png|SVG 画像|*.svg",
                                                    result_.variable.name() + ".png");
    if (!choice) return;
    QString path = QString::fromStdString(choice->path);
    const QString suffix =
        choice->filterIndex == 1 ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
    if (!SaveChart(chart, path)) CurrentDialogs().ShowMessage("グラフを保存できません");
}

// The value a frequency row stands for (none for the row of more values).
std::vector<CaseValue> RowValue(const FrequencyTable& t, int row) {
    if (row < 0 || row >= static_cast<int>(t.rows.size())) return {};
    const FrequencyRow& r = t.rows[size_t(row)];
    if (r.kind == FrequencyRow::Kind::More) return {};
    return {ValueOf(t.variable.index, t.variable.isString(), r.number, r.text, r.missing)};
}

void FrequencyWindow::GoToCases(int row) {
    GoToFirstCase(*dict_, RowValue(result_, row));
}

void FrequencyWindow::ShowOnlyCases(int row) {
    ShowOnly(*dict_, RowValue(result_, row));
}

// ---- 変数の概要 ----

DescribeWindow::DescribeWindow(std::shared_ptr<FileDictionary> dict, CaseFilter filter)
    : dict_(std::move(dict)), filter_(std::move(filter)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("変数の概要"));
    resize(1000, 600);
    auto* layout = new QVBoxLayout(this);
    table = MakeTable(this, {QStringLiteral("変数名"),
                             QStringLiteral("ラベル"),
                             QStringLiteral("型"),
                             QStringLiteral("尺度"),
                             QStringLiteral("有効数"),
                             QStringLiteral("欠損数"),
                             QStringLiteral("値の種類"),
                             QStringLiteral("最小値"),
                             QStringLiteral("最大値"),
                             QStringLiteral("平均値"),
                             QStringLiteral("標準偏差"),
                             QStringLiteral("最頻値"),
                             QStringLiteral("最頻値の数"),
                             QStringLiteral("中央値"),
                             QStringLiteral("平均値の標準誤差"),
                             QStringLiteral("分散"),
                             QStringLiteral("歪度"),
                             QStringLiteral("歪度の標準誤差"),
                             QStringLiteral("尖度"),
                             QStringLiteral("尖度の標準誤差"),
                             QStringLiteral("範囲"),
                             QStringLiteral("合計")});
    // Every column but the name can be hidden from the header's menu; the
    // moments and the median show once chosen.
    static constexpr ColumnChoice kColumns[] = {{"", true},
                                                {"label", true},
                                                {"type", true},
                                                {"measure", true},
                                                {"valid", true},
                                                {"missing", true},
                                                {"distinct", true},
                                                {"min", true},
                                                {"max", true},
                                                {"mean", true},
                                                {"sd", true},
                                                {"mode", true},
                                                {"mode_count", false},
                                                {"median", false},
                                                {"se_mean", false},
                                                {"variance", false},
                                                {"skewness", false},
                                                {"se_skewness", false},
                                                {"kurtosis", false},
                                                {"se_kurtosis", false},
                                                {"range", false},
                                                {"sum", false}};
    AddColumnChoice(table, QStringLiteral("describe/columns"), kColumns);
    table->setSortingEnabled(true);
    // The dictionary's order until the user clicks a header.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    AddCopy(table);
    layout->addWidget(FilterNote(this, filter_));
    layout->addWidget(table);
    auto* bottom = new QHBoxLayout;
    find = new QLineEdit(this);
    find->setPlaceholderText(QStringLiteral("検索 (Ctrl+F)"));
    auto* csv = new QPushButton(QStringLiteral("CSV に書き出す..."), this);
    auto* copy = new QPushButton(QStringLiteral("すべてコピー"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    bottom->addWidget(find);
    bottom->addWidget(csv);
    bottom->addWidget(copy);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        find->setFocus();
        find->selectAll();
    });
    connect(find, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
            [this] { FindNext(); });
    connect(csv, &QPushButton::clicked, this, [this] { RunHandler([this] { WriteCsv(); }); });
    connect(copy, &QPushButton::clicked, this, [this] {
        table->clearSelection();
        QApplication::clipboard()->setText(SelectedText());
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

bool DescribeWindow::Count() {
    DialogProgress progress(nullptr, QStringLiteral("変数を集計しています... %1 / %2"));
    DescribeResult r = RunDescribe(*dict_, {}, true, &progress, kDescribeDistinctCap,
                                   Selected(filter_), CountedFile(*dict_).get());
    if (!Finished(r.pass)) return false;
    result_ = std::move(r);
    Fill();
    return true;
}

void DescribeWindow::Fill() {
    table->setSortingEnabled(false);
    table->setRowCount(static_cast<int>(result_.rows.size()));
    int r = 0;
    const DescribeCountFractions fractions = CountsWithFractions(result_);
    for (const DescribeRow& row : result_.rows) {
        const DictVariable& d = *row.variable.dict;
        QString mode = Decoded(row.modeText);
        if (!row.modeLabel.empty()) mode += QStringLiteral(" ") + Decoded(row.modeLabel);
        const double missing = row.userMissing.weight + row.systemMissing.weight;
        const Descriptives& s = row.stats;
        const auto number = [](const std::string& text, double value) {
            return new Cell(QString::fromStdString(text), value);
        };
        SetRow(table, r++,
               {new Cell(Shown(row.variable)),
                new Cell(Decoded(d.label)),
                new Cell(QString::fromStdString(TypeText(d))),
                new Cell(QString::fromStdString(std::string(MeasureText(d.measure)))),
                number(CountText(row.valid.weight, fractions.valid), row.valid.weight),
                number(CountText(missing, fractions.missing), missing),
                number(DistinctText(row.distinct, row.distinctExact, kDescribeDistinctCap),
                       row.distinctExact ? double(row.distinct) : double(row.distinct) + 0.5),
                new Cell(Decoded(LocationText(s.minimum, d)), s.minimum),
                new Cell(Decoded(LocationText(s.maximum, d)), s.maximum),
                new Cell(Decoded(LocationText(s.mean, d)), s.mean),
                number(SpreadText(s.sd, d), s.sd),
                new Cell(mode),
                row.hasMode ? number(std::to_string(row.modeCount), double(row.modeCount))
                            : new Cell(QString()),
                new Cell(Decoded(LocationText(s.median, d)), s.median),
                number(SpreadText(s.seMean, d), s.seMean),
                number(FigureText(s.variance, d), s.variance),
                number(StatisticText(s.skewness, 1), s.skewness),
                number(StatisticText(s.seSkewness, 1), s.seSkewness),
                number(StatisticText(s.kurtosis, 1), s.kurtosis),
                number(StatisticText(s.seKurtosis, 1), s.seKurtosis),
                number(SpreadText(s.range, d), s.range),
                number(FigureText(s.sum, d), s.sum)});
    }
    table->setSortingEnabled(true);
    table->resizeColumnsToContents();
}

QString DescribeWindow::SelectedText() const {
    QString text;
    QStringList head;
    for (int c = 0; c < table->columnCount(); ++c)
        if (!table->isColumnHidden(c)) head << table->horizontalHeaderItem(c)->text();
    text = head.join(QLatin1Char('\t')) + QLatin1Char('\n');
    const bool any = table->selectionModel()->hasSelection();
    for (int r = 0; r < table->rowCount(); ++r) {
        if (any && !table->selectionModel()->isRowSelected(r, QModelIndex())) continue;
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            if (!table->isColumnHidden(c)) cells << table->item(r, c)->text();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void DescribeWindow::WriteCsv() {
    const std::optional<std::string> path = CurrentDialogs().SaveFile("describe.csv");
    if (!path) return;
    TextFileWriter out;
    out.Create(*path);
    out.Write(DescribeCsv(result_, DisplayEncoding()));
    out.Close();
}

void DescribeWindow::FindNext() {
    const QString wanted = find->text();
    if (wanted.isEmpty()) return;
    const int start = table->currentRow();
    for (int step = 1; step <= table->rowCount(); ++step) {
        const int r = (start + step) % table->rowCount();
        for (int c : {0, 1})
            if (table->item(r, c)->text().contains(wanted, Qt::CaseInsensitive)) {
                table->selectRow(r);
                table->scrollToItem(table->item(r, 0));
                return;
            }
    }
    CurrentDialogs().Beep();
}

// ---- クロス集計 ----

CrosstabWindow::CrosstabWindow(std::shared_ptr<FileDictionary> dict, int rowVariable,
                               CaseFilter filter)
    : dict_(std::move(dict)), filter_(std::move(filter)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("クロス集計"));
    resize(800, 560);
    auto* layout = new QVBoxLayout(this);
    auto* choose = new QHBoxLayout;
    rows = new QComboBox(this);
    columns = new QComboBox(this);
    for (const DictVariable& v : dict_->variables) {
        const QString name = Decoded(v.longName.empty() ? v.name : v.longName);
        rows->addItem(name);
        columns->addItem(name);
    }
    rows->setCurrentIndex(rowVariable);
    columns->setCurrentIndex(rowVariable + 1 < columns->count() ? rowVariable + 1 : 0);
    choose->addWidget(new QLabel(QStringLiteral("行:"), this));
    choose->addWidget(rows);
    choose->addWidget(new QLabel(QStringLiteral("列:"), this));
    choose->addWidget(columns);
    auto* run = new QPushButton(QStringLiteral("集計"), this);
    choose->addWidget(run);
    layout->addLayout(choose);
    auto* options = new QHBoxLayout;
    rowPercent = new QCheckBox(QStringLiteral("行パーセント"), this);
    columnPercent = new QCheckBox(QStringLiteral("列パーセント"), this);
    totalPercent = new QCheckBox(QStringLiteral("全体パーセント"), this);
    includeMissing = new QCheckBox(QStringLiteral("欠損値を含める"), this);
    expected = new QCheckBox(QStringLiteral("期待度数"), this);
    residuals = new QCheckBox(QStringLiteral("調整済み残差"), this);
    unweighted = new QCheckBox(QStringLiteral("重み付けしない"), this);
    unweighted->setVisible(!dict_->weightVariable.empty());
    for (QCheckBox* box :
         {rowPercent, columnPercent, totalPercent, expected, residuals, includeMissing, unweighted})
        options->addWidget(box);
    options->addStretch();
    layout->addLayout(options);
    // A layer variable: one table per value of it, one shown at a time.
    auto* layers = new QHBoxLayout;
    layer = new QComboBox(this);
    layer->addItem(QStringLiteral("（なし）"));
    for (const DictVariable& v : dict_->variables)
        layer->addItem(Decoded(v.longName.empty() ? v.name : v.longName));
    layerValue = new QComboBox(this);
    layerValue->setEnabled(false);
    layers->addWidget(new QLabel(QStringLiteral("層:"), this));
    layers->addWidget(layer);
    layers->addWidget(new QLabel(QStringLiteral("層の値:"), this));
    layers->addWidget(layerValue, 1);
    layout->addLayout(layers);
    layout->addWidget(FilterNote(this, filter_));
    table = new QTableWidget(this);
    table->setFont(WithLatinDigits(table->font()));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    layout->addWidget(table);
    tests = MakeTable(this, {QStringLiteral("検定"), QStringLiteral("値"), QStringLiteral("自由度"),
                             QStringLiteral("有意確率")});
    AddCopy(tests);
    tests->setContextMenuPolicy(Qt::ActionsContextMenu);
    layout->addWidget(tests);
    testsNote = new QLabel(this);
    testsNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testsNote->setWordWrap(true);
    layout->addWidget(testsNote);
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this](int line, int column) { RunHandler([=, this] { GoToCases(line, column); }); });
    AddCaseMenu(
        table, [this](int line, int column) { GoToCases(line, column); },
        [this](int line, int column) { ShowOnlyCases(line, column); });
    connect(run, &QPushButton::clicked, this, [this] { RunHandler([this] { Count(); }); });
    for (QCheckBox* box : {rowPercent, columnPercent, totalPercent, expected, residuals})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (counted_) Fill();
        });
    connect(layerValue, &QComboBox::currentIndexChanged, this, [this] {
        if (counted_) Fill();
    });
}

const Crosstab& CrosstabWindow::ShownTable() const {
    const int l = layerValue->currentIndex();
    if (result_.layerVariable && l >= 0 && l < static_cast<int>(result_.layers.size()))
        return result_.layers[size_t(l)].table;
    return result_.table;
}

bool CrosstabWindow::Count() {
    DialogProgress progress(isVisible() ? this : nullptr,
                            QStringLiteral("クロス集計しています... %1 / %2"));
    CrosstabResult r =
        RunCrosstab(*dict_, rows->currentIndex(), columns->currentIndex(), !unweighted->isChecked(),
                    includeMissing->isChecked(), &progress, kCrosstabMaxCategories,
                    Selected(filter_), CountedFile(*dict_).get(), layer->currentIndex() - 1);
    if (!Finished(r.pass)) return false;
    if (r.table.error) {
        CurrentDialogs().Tell(r.table.error);
        return false;
    }
    result_ = std::move(r);
    counted_ = true;
    {
        const QSignalBlocker quiet(layerValue);
        layerValue->clear();
        for (const CrossLayer& l : result_.layers) {
            QString text = Decoded(l.value.valueText);
            if (!l.value.label.empty()) text += QStringLiteral(" ") + Decoded(l.value.label);
            if (l.value.missing != MissingKind::None) text += QStringLiteral("（欠損値）");
            layerValue->addItem(text);
        }
        layerValue->setEnabled(layerValue->count() > 0);
    }
    Fill();
    return true;
}

void CrosstabWindow::FillTests() {
    const CrosstabTests r = TestCrosstab(ShownTable());
    const auto figure = [](double value, int decimals) {
        return new Cell(std::isfinite(value) ? QString::number(value, 'f', decimals) : QString(),
                        value);
    };
    struct Line {
        QString name;
        double value, df, p;
    };
    std::vector<Line> lines = {
        {QStringLiteral("Pearson のカイ 2 乗"), r.pearson.value, r.pearson.df, r.pearson.p},
        {QStringLiteral("尤度比"), r.likelihoodRatio.value, r.likelihoodRatio.df,
         r.likelihoodRatio.p},
        {QStringLiteral("線型と線型による連関"), r.linearByLinear.value, r.linearByLinear.df,
         r.linearByLinear.p}};
    if (r.fisher) {
        lines.push_back({QStringLiteral("Fisher の直接法（両側）"), NAN, NAN, r.fisherTwoSided});
        lines.push_back({QStringLiteral("Fisher の直接法（片側）"), NAN, NAN, r.fisherOneSided});
    }
    lines.push_back({QStringLiteral("ファイ"), r.phi, NAN, NAN});
    lines.push_back({QStringLiteral("Cramer の V"), r.cramersV, NAN, NAN});
    tests->setRowCount(static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i)
        SetRow(tests, static_cast<int>(i),
               {new Cell(lines[i].name), figure(lines[i].value, 3), figure(lines[i].df, 0),
                figure(lines[i].p, 3)});
    tests->resizeColumnsToContents();
    tests->resizeRowsToContents();
    // Tall enough for every line, no more: the counts take the rest.
    int height = tests->horizontalHeader()->sizeHint().height() + 2 * tests->frameWidth();
    for (int i = 0; i < tests->rowCount(); ++i) height += tests->rowHeight(i);
    tests->setFixedHeight(height);
    const double percent =
        r.cells ? 100.0 * static_cast<double>(r.lowExpectedCells) / double(r.cells) : 0;
    QString note =
        QStringLiteral("%1 セル (%2%) は期待度数が 5 未満です。最小期待度数は %3 です。")
            .arg(r.lowExpectedCells)
            .arg(QString::fromStdString(PercentText(percent)))
            .arg(std::isfinite(r.minimumExpected) ? QString::number(r.minimumExpected, 'f', 2)
                                                  : QString());
    if (!std::isfinite(r.pearson.value))
        note = QStringLiteral("値のある行と列が 2 つ以上ないため、検定できません。");
    testsNote->setText(note);
}

void CrosstabWindow::Fill() {
    const Crosstab& t = ShownTable();
    const auto head = [](const CrossCategory& c) {
        QString text = Decoded(c.valueText);
        if (!c.label.empty()) text += QStringLiteral(" ") + Decoded(c.label);
        if (c.missing != MissingKind::None) text += QStringLiteral("（欠損値）");
        return text;
    };
    std::vector<std::pair<QString, char>> kinds = {{QStringLiteral("度数"), 'n'}};
    if (rowPercent->isChecked()) kinds.push_back({QStringLiteral("行 %"), 'r'});
    if (columnPercent->isChecked()) kinds.push_back({QStringLiteral("列 %"), 'c'});
    if (totalPercent->isChecked()) kinds.push_back({QStringLiteral("全体 %"), 't'});
    if (expected->isChecked()) kinds.push_back({QStringLiteral("期待度数"), 'e'});
    if (residuals->isChecked()) kinds.push_back({QStringLiteral("調整済み残差"), 'a'});
    const int per = static_cast<int>(kinds.size());
    linesPerRow_ = per;
    table->clear();
    table->setColumnCount(static_cast<int>(t.columns.size()) + 3);
    table->setRowCount((static_cast<int>(t.rows.size()) + 1) * per);
    QStringList headers = {Shown(t.rowVariable) + QStringLiteral(" \\ ") + Shown(t.columnVariable),
                           QString()};
    for (const CrossCategory& c : t.columns) headers << head(c);
    headers << QStringLiteral("合計");
    table->setHorizontalHeaderLabels(headers);
    const auto figure = [&](double part, size_t r, size_t c, char kind, bool rowTotal) {
        if (kind == 'n') return QString::fromStdString(CountText(part));
        if (kind == 'e' || kind == 'a') {
            // A cell's own figure; the totals have none.
            if (r >= t.rows.size() || c >= t.columns.size()) return QString();
            const double v = kind == 'e' ? ExpectedCount(t, r, c) : AdjustedResidual(t, r, c);
            return std::isfinite(v) ? QString::number(v, 'f', 2) : QString();
        }
        const double whole =
            kind == 'r' ? (r < t.rows.size() ? t.rowTotals[r].weight : t.total.weight)
            : kind == 'c'
                ? (rowTotal || c >= t.columns.size() ? t.total.weight : t.columnTotals[c].weight)
                : t.total.weight;
        return whole > 0 ? QString::fromStdString(PercentText(100.0 * part / whole)) : QString();
    };
    for (size_t r = 0; r <= t.rows.size(); ++r) {
        const bool totalRow = r == t.rows.size();
        for (int k = 0; k < per; ++k) {
            const int line = static_cast<int>(r) * per + k;
            if (k == 0)
                table->setItem(line, 0,
                               new Cell(totalRow ? QStringLiteral("合計") : head(t.rows[r])));
            table->setItem(line, 1, new Cell(kinds[size_t(k)].first));
            for (size_t c = 0; c <= t.columns.size(); ++c) {
                const bool totalColumn = c == t.columns.size();
                const double part = totalRow
                                        ? (totalColumn ? t.total.weight : t.columnTotals[c].weight)
                                    : totalColumn ? t.rowTotals[r].weight
                                                  : t.Cell(r, c).weight;
                table->setItem(
                    line, static_cast<int>(c) + 2,
                    new Cell(figure(part, r, c, kinds[size_t(k)].second, totalColumn), part));
            }
        }
    }
    table->resizeColumnsToContents();
    FillTests();
}

// The values a cell of the table stands for: its row's and column's
// categories, or one of them in a total; and the layer's value.
std::vector<CaseValue> CellValues(const CrosstabResult& result, const Crosstab& t, int layer,
                                  int category, int column) {
    std::vector<CaseValue> values;
    if (result.layerVariable && layer >= 0 && layer < static_cast<int>(result.layers.size())) {
        const StatsVariable& v = *result.layerVariable;
        const CrossCategory& c = result.layers[size_t(layer)].value;
        values.push_back(ValueOf(v.index, v.isString(), c.number, c.text, c.missing));
    }
    const auto add = [&](const StatsVariable& v, const CrossCategory& c) {
        values.push_back(ValueOf(v.index, v.isString(), c.number, c.text, c.missing));
    };
    if (category >= 0 && category < static_cast<int>(t.rows.size()))
        add(t.rowVariable, t.rows[size_t(category)]);
    if (column >= 0 && column < static_cast<int>(t.columns.size()))
        add(t.columnVariable, t.columns[size_t(column)]);
    return values;
}

void CrosstabWindow::GoToCases(int line, int column) {
    if (!counted_) return;
    GoToFirstCase(*dict_, CellValues(result_, ShownTable(), layerValue->currentIndex(),
                                     line / linesPerRow_, column - 2));
}

void CrosstabWindow::ShowOnlyCases(int line, int column) {
    if (!counted_) return;
    ShowOnly(*dict_, CellValues(result_, ShownTable(), layerValue->currentIndex(),
                                line / linesPerRow_, column - 2));
}

// ---- 平均の比較 ----

MeansWindow::MeansWindow(std::shared_ptr<FileDictionary> dict, int variableIndex, CaseFilter filter)
    : dict_(std::move(dict)), filter_(std::move(filter)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("平均の比較"));
    resize(760, 480);
    auto* layout = new QVBoxLayout(this);
    auto* choose = new QHBoxLayout;
    variable = new QComboBox(this);
    group1 = new QComboBox(this);
    group2 = new QComboBox(this);
    group2->addItem(QStringLiteral("（なし）"));
    for (const DictVariable& v : dict_->variables) {
        const QString name = Decoded(v.longName.empty() ? v.name : v.longName);
        variable->addItem(name);
        group1->addItem(name);
        group2->addItem(name);
    }
    variable->setCurrentIndex(variableIndex);
    group1->setCurrentIndex(variableIndex + 1 < group1->count() ? variableIndex + 1 : 0);
    choose->addWidget(new QLabel(QStringLiteral("変数:"), this));
    choose->addWidget(variable);
    choose->addWidget(new QLabel(QStringLiteral("グループ:"), this));
    choose->addWidget(group1);
    choose->addWidget(new QLabel(QStringLiteral("第 2 グループ:"), this));
    choose->addWidget(group2);
    auto* run = new QPushButton(QStringLiteral("集計"), this);
    choose->addWidget(run);
    layout->addLayout(choose);
    unweighted = new QCheckBox(QStringLiteral("重み付けしない"), this);
    unweighted->setVisible(!dict_->weightVariable.empty());
    layout->addWidget(unweighted);
    layout->addWidget(FilterNote(this, filter_));
    table = MakeTable(this, {});
    AddCopy(table);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    layout->addWidget(table);
    note = new QLabel(this);
    note->setVisible(false);
    layout->addWidget(note);
    connect(run, &QPushButton::clicked, this, [this] { RunHandler([this] { Count(); }); });
}

bool MeansWindow::Count() {
    if (dict_->variables[size_t(variable->currentIndex())].isString()) {
        CurrentDialogs().ShowMessage(
            "文字列の変数の平均は求められません。数値の変数を選んでください");
        return false;
    }
    std::vector<int> groups = {group1->currentIndex()};
    if (group2->currentIndex() > 0) groups.push_back(group2->currentIndex() - 1);
    DialogProgress progress(isVisible() ? this : nullptr,
                            QStringLiteral("平均を集計しています... %1 / %2"));
    MeansResult r =
        RunMeans(*dict_, variable->currentIndex(), groups, !unweighted->isChecked(), &progress,
                 kMeansMaxGroups, Selected(filter_), CountedFile(*dict_).get());
    if (!Finished(r.pass)) return false;
    if (r.table.error) {
        CurrentDialogs().Tell(r.table.error);
        return false;
    }
    result_ = std::move(r);
    Fill();
    return true;
}

void MeansWindow::Fill() {
    const Means& m = result_.table;
    QStringList headers;
    for (const StatsVariable& g : m.groupVariables) headers << Shown(g);
    const int lead = static_cast<int>(headers.size());
    headers << QStringLiteral("平均値") << QStringLiteral("度数") << QStringLiteral("標準偏差")
            << QStringLiteral("平均値の標準誤差") << QStringLiteral("最小値")
            << QStringLiteral("最大値") << QStringLiteral("分散") << QStringLiteral("合計")
            << QStringLiteral("中央値") << QStringLiteral("範囲") << QStringLiteral("歪度")
            << QStringLiteral("歪度の標準誤差") << QStringLiteral("尖度")
            << QStringLiteral("尖度の標準誤差");
    // Under each value of the first grouping variable its groups and their
    // subtotal; then the second's subtotals and the total.
    std::vector<const MeansGroup*> lines;
    size_t next = 0;
    for (size_t i = 0; i < m.groups.size(); ++i) {
        lines.push_back(&m.groups[i]);
        const bool lastOfFirst = lead == 2 && (i + 1 == m.groups.size() ||
                                               m.groups[i + 1].values[0] != m.groups[i].values[0]);
        if (!lastOfFirst) continue;
        while (next < m.subtotals.size() && m.subtotals[next].values[0] != m.groups[i].values[0])
            ++next;
        if (next < m.subtotals.size()) lines.push_back(&m.subtotals[next]);
    }
    for (const MeansGroup& g : m.subtotals)
        if (!g.values[0]) lines.push_back(&g);
    lines.push_back(&m.total);
    table->clear();
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(lines.size()));
    const DictVariable& v = *m.variable.dict;
    const int decimals = v.print.decimals;
    const auto text = [](const std::string& bytes, double value) {
        return new Cell(Decoded(bytes), value);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        const MeansGroup& g = *lines[i];
        std::vector<QTableWidgetItem*> cells;
        for (const CrossCategory* c : g.values) {
            QString name = QStringLiteral("合計");
            if (c) {
                name = Decoded(c->valueText);
                if (!c->label.empty()) name += QStringLiteral(" ") + Decoded(c->label);
            }
            cells.push_back(new Cell(name));
        }
        const MeansFigures& f = g.figures;
        cells.push_back(text(LocationText(f.mean, v), f.mean));
        cells.push_back(new Cell(QString::fromStdString(CountText(f.n.weight)), f.n.weight));
        cells.push_back(new Cell(QString::fromStdString(SpreadText(f.sd, v)), f.sd));
        cells.push_back(
            new Cell(QString::fromStdString(StatisticText(f.seMean, decimals)), f.seMean));
        cells.push_back(text(LocationText(f.minimum, v), f.minimum));
        cells.push_back(text(LocationText(f.maximum, v), f.maximum));
        cells.push_back(
            new Cell(QString::fromStdString(StatisticText(f.variance, decimals)), f.variance));
        cells.push_back(new Cell(QString::fromStdString(StatisticText(f.sum, decimals)), f.sum));
        cells.push_back(text(LocationText(f.median, v), f.median));
        cells.push_back(new Cell(QString::fromStdString(SpreadText(f.range, v)), f.range));
        for (double plain : {f.skewness, f.seSkewness, f.kurtosis, f.seKurtosis})
            cells.push_back(new Cell(QString::fromStdString(StatisticText(plain, 1)), plain));
        SetRow(table, static_cast<int>(i), cells);
    }
    // The figures beyond the sum show when chosen from the header's menu;
    // the columns start after the grouping variables'.
    static constexpr ColumnChoice kOneGroup[] = {{"", true},
                                                 {"mean", true},
                                                 {"n", true},
                                                 {"sd", true},
                                                 {"se_mean", true},
                                                 {"min", true},
                                                 {"max", true},
                                                 {"variance", true},
                                                 {"sum", true},
                                                 {"median", false},
                                                 {"range", false},
                                                 {"skewness", false},
                                                 {"se_skewness", false},
                                                 {"kurtosis", false},
                                                 {"se_kurtosis", false}};
    static constexpr ColumnChoice kTwoGroups[] = {{"", true},          {"", true},
                                                  {"mean", true},      {"n", true},
                                                  {"sd", true},        {"se_mean", true},
                                                  {"min", true},       {"max", true},
                                                  {"variance", true},  {"sum", true},
                                                  {"median", false},   {"range", false},
                                                  {"skewness", false}, {"se_skewness", false},
                                                  {"kurtosis", false}, {"se_kurtosis", false}};
    QHeaderView* header = table->horizontalHeader();
    QObject::disconnect(header, &QWidget::customContextMenuRequested, table, nullptr);
    if (lead == 2)
        AddColumnChoice(table, QStringLiteral("means/columns"), kTwoGroups);
    else
        AddColumnChoice(table, QStringLiteral("means/columns"), kOneGroup);
    table->resizeColumnsToContents();
    note->setVisible(m.mediansLost > 0);
    note->setText(QStringLiteral("%1 個のグループは値の種類が多すぎるため中央値を求めていません")
                      .arg(m.mediansLost));
}

// ---- opening ----

QWidget* OpenFrequencyWindow(int variable) {
    auto dict = CurrentDictionary();
    if (!dict || variable < 0 || variable >= static_cast<int>(dict->variables.size()))
        return nullptr;
    auto* window = new FrequencyWindow(dict, variable, GridFilter(*dict));
    if (!window->Count(true)) {
        delete window;
        return nullptr;
    }
    window->show();
    return window;
}

QWidget* OpenDescribeWindow() {
    auto dict = CurrentDictionary();
    if (!dict) return nullptr;
    auto* window = new DescribeWindow(dict, GridFilter(*dict));
    if (!window->Count()) {
        delete window;
        return nullptr;
    }
    window->show();
    return window;
}

QWidget* OpenCrosstabWindow(int rowVariable) {
    auto dict = CurrentDictionary();
    if (!dict || dict->variables.empty()) return nullptr;
    rowVariable = std::clamp(rowVariable, 0, static_cast<int>(dict->variables.size()) - 1);
    auto* window = new CrosstabWindow(dict, rowVariable, GridFilter(*dict));
    window->show();
    return window;
}

QWidget* OpenMeansWindow(int variable) {
    auto dict = CurrentDictionary();
    if (!dict || dict->variables.empty()) return nullptr;
    variable = std::clamp(variable, 0, static_cast<int>(dict->variables.size()) - 1);
    auto* window = new MeansWindow(dict, variable, GridFilter(*dict));
    window->show();
    return window;
}

bool WriteCodebookFile(std::vector<int> variables) {
    auto dict = CurrentDictionary();
    if (!dict) return false;
    const std::optional<SaveChoice> choice_ =
        CurrentDialogs().SaveFileAs("HTML 文書|*.html *.htm|PDF 文書|*.pdf", "codebook.html");
    if (!choice_) return false;
    const std::string& path = choice_->path;
    const bool pdf = choice_->filterIndex == 1 || QString::fromStdString(path).endsWith(
                                                      QStringLiteral(".pdf"), Qt::CaseInsensitive);
    const CaseFilter filter = GridFilter(*dict);
    CodebookChoice choice;
    choice.encoding = DisplayEncoding();
    if (filter) choice.condition = filter->condition;
    OutputFile out(path);
    DialogProgress progress(nullptr, QStringLiteral("コードブックを作成しています... %1 / %2"));
    const CodebookContent content = BuildCodebook(*dict, std::move(variables), choice, &progress,
                                                  Selected(filter), CountedFile(*dict).get());
    if (!Finished(content.frequencies.pass)) return false;  // out removes its temporary file
    if (!(pdf ? WriteCodebookPdf(content, out, &progress)
              : WriteCodebookHtml(content, out, &progress)))
        return false;
    out.Commit();
    return true;
}

}  // namespace lv
