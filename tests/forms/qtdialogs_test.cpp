#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "forms/seam/qt_dialogs.h"
#include "tests/forms/support_app.h"

// Captions in failure messages as text, not as UTF-16 code units.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Runs inspect on the message box once it is shown modally (polling, as
// exec() starts its own loop), then presses the button that press picks.
void WhenBoxShown(const std::function<void(QMessageBox&)>& inspect,
                  const std::function<QAbstractButton*(QMessageBox&)>& press) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        inspect(*box);
        if (QAbstractButton* button = press(*box)) {
            button->click();
        } else {
            box->reject();
        }
    });
    timer->start();
}

// What the confirmation box showed, its buttons from left to right.
struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList captions;
    bool yesIsDefault = false;
    bool cancelIsEscape = false;
    lv::ConfirmAnswer answer = lv::ConfirmAnswer::Yes;
};

ShownBox ConfirmAndCancel() {
    ShownBox shown;
    WhenBoxShown(
        [&](QMessageBox& box) {
            shown.title = box.windowTitle();
            shown.text = box.text();
            shown.icon = box.icon();
            std::vector<QAbstractButton*> buttons;
            for (QAbstractButton* b : box.buttons()) buttons.push_back(b);
            std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
                return a->mapToGlobal(QPoint(0, 0)).x() < b->mapToGlobal(QPoint(0, 0)).x();
            });
            for (QAbstractButton* b : buttons) shown.captions << b->text();
            shown.yesIsDefault = box.defaultButton() == box.button(QMessageBox::Yes);
            shown.cancelIsEscape = box.escapeButton() == box.button(QMessageBox::Cancel);
        },
        [](QMessageBox& box) { return box.button(QMessageBox::Cancel); });
    shown.answer = lv::QtDialogs().Confirm("確認", "保存をどうしますか？");
    return shown;
}

void ExpectTheProgramsBox(const ShownBox& shown) {
    EXPECT_EQ(shown.answer, lv::ConfirmAnswer::Cancel);
    EXPECT_EQ(shown.title, QStringLiteral("確認"));
    EXPECT_EQ(shown.text, QStringLiteral("保存をどうしますか？"));
    EXPECT_EQ(shown.icon, QMessageBox::Question);
    EXPECT_EQ(shown.captions, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"),
                                           QStringLiteral("ｷｬﾝｾﾙ")}));
    EXPECT_TRUE(shown.yesIsDefault);
    EXPECT_TRUE(shown.cancelIsEscape);
}

// A desktop style that orders dialog buttons as GNOME does (Cancel first).
class GnomeButtonLayout final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonLayout) return QDialogButtonBox::GnomeLayout;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

TEST(QtDialogsConfirm, ShowsItsOwnButtonCaptionsLeftToRightWithYesAsDefault) {
    testsupport::EnsureApplication();
    ExpectTheProgramsBox(ConfirmAndCancel());
}

TEST(QtDialogsConfirm, KeepsItsButtonOrderUnderAGnomeStyleLayout) {
    testsupport::EnsureApplication();
    const QString previous = QApplication::style()->name();
    QApplication::setStyle(new GnomeButtonLayout(QStyleFactory::create(previous)));
    ASSERT_EQ(QApplication::style()->styleHint(QStyle::SH_DialogButtonLayout),
              QDialogButtonBox::GnomeLayout);
    const ShownBox shown = ConfirmAndCancel();
    QApplication::setStyle(previous);
    ExpectTheProgramsBox(shown);
}

TEST(QtDialogsConfirm, YesAndNoAreTheAnswersOfTheirButtons) {
    testsupport::EnsureApplication();
    lv::QtDialogs dialogs;
    WhenBoxShown([](QMessageBox&) {},
                 [](QMessageBox& box) { return box.button(QMessageBox::Yes); });
    EXPECT_EQ(dialogs.Confirm("確認", "?"), lv::ConfirmAnswer::Yes);
    WhenBoxShown([](QMessageBox&) {}, [](QMessageBox& box) { return box.button(QMessageBox::No); });
    EXPECT_EQ(dialogs.Confirm("確認", "?"), lv::ConfirmAnswer::No);
}

}  // namespace
