#include "forms/seam/qt_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "forms/seam/error_handler.h"
#include "forms/seam/password_dialog.h"
#include "forms/seam/progress_dialog.h"

namespace lv {
namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Title() {
    return QString::fromStdString(
        ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));
}

// Paths travel as the file system's bytes.
std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathText(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void PrepareFileDialog(QFileDialog& dialog, std::string_view initialName) {
    if (initialName.empty()) {
        dialog.setDirectory(QDir::currentPath());
        return;
    }
    const QFileInfo info(PathText(initialName));
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
}

// A style for one button box that lays its buttons out in the one order the
// program has on every desktop (Yes, No, Cancel from the left), whatever
// order the desktop's style would give them; the rest is the program's style.
class FixedButtonOrder final : public QProxyStyle {
  public:
    FixedButtonOrder() : QProxyStyle(QApplication::style()->name()) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonLayout) return QDialogButtonBox::WinLayout;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
    const QStringList parts = Utf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QStringLiteral(")");
    }
    return filters;
}

// Each prompt first closes a progress dialog that finished work left up.
void QtDialogs::ShowMessage(std::string_view text) {
    OneProgressDialog::CloseKept();
    QMessageBox box(QMessageBox::NoIcon, Title(), Utf8(text), QMessageBox::Ok);
    box.exec();
}

void QtDialogs::ShowError(std::string_view caption, std::string_view text) {
    OneProgressDialog::CloseKept();
    QMessageBox box(QMessageBox::Critical, Utf8(caption), Utf8(text), QMessageBox::Ok);
    box.exec();
}

std::optional<std::string> QtDialogs::OpenFile(std::string_view filter,
                                               std::string_view initialName) {
    OneProgressDialog::CloseKept();
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    PrepareFileDialog(dialog, initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return PathBytes(dialog.selectedFiles().front());
}

std::optional<std::string> QtDialogs::SaveFile(std::string_view initialName) {
    OneProgressDialog::CloseKept();
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    PrepareFileDialog(dialog, initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return PathBytes(dialog.selectedFiles().front());
}

QString WithFilterSuffix(const QString& path, const QString& nameFilter) {
    if (!QFileInfo(path).suffix().isEmpty()) return path;
    const qsizetype star = nameFilter.indexOf(QStringLiteral("*."));
    if (star < 0) return path;
    qsizetype end = star + 2;
    while (end < nameFilter.size() && nameFilter[end].isLetterOrNumber()) ++end;
    return path + nameFilter.mid(star + 1, end - star - 1);
}

std::optional<SaveChoice> QtDialogs::SaveFileAs(std::string_view filter,
                                                std::string_view initialName) {
    OneProgressDialog::CloseKept();
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(filter);
    dialog.setNameFilters(filters);
    PrepareFileDialog(dialog, initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedNameFilter();
    const int index = std::max<int>(0, static_cast<int>(filters.indexOf(chosen)));
    return SaveChoice{PathBytes(WithFilterSuffix(dialog.selectedFiles().front(), chosen)), index};
}

ConfirmAnswer QtDialogs::Confirm(std::string_view caption, std::string_view text) {
    OneProgressDialog::CloseKept();
    QMessageBox box(QMessageBox::Question, Utf8(caption), Utf8(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // The box's own captions, whatever language Qt would give its buttons.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) {
        auto* style = new FixedButtonOrder;
        style->setParent(&box);  // made after the button box, so deleted after it
        buttons->setStyle(style);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return ConfirmAnswer::Yes;
        case QMessageBox::No:
            return ConfirmAnswer::No;
        default:
            return ConfirmAnswer::Cancel;
    }
}

void QtDialogs::Beep() {
    QApplication::beep();
}

std::optional<std::string> QtDialogs::AskPassword(std::string_view path, bool wrong) {
    OneProgressDialog::CloseKept();
    PasswordDialog dialog(QApplication::activeWindow(), QFileInfo(PathText(path)).fileName(),
                          wrong);
    dialog.exec();
    return dialog.TakePassword();
}

}  // namespace lv
