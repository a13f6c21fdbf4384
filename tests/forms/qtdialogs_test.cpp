#include "forms/qtdialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "tests/forms/support_app.h"

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

TEST(QtDialogsConfirm, ShowsItsOwnButtonCaptionsLeftToRightWithYesAsDefault) {
    testsupport::EnsureApplication();
    lv::QtDialogs dialogs;
    QString title, text;
    QStringList captions;
    QAbstractButton* defaultButton = nullptr;
    QAbstractButton* escapeButton = nullptr;
    QAbstractButton* yesButton = nullptr;
    QAbstractButton* cancelButton = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenBoxShown(
        [&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            std::vector<QAbstractButton*> buttons;
            for (QAbstractButton* b : box.buttons()) buttons.push_back(b);
            std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
                return a->mapToGlobal(QPoint(0, 0)).x() < b->mapToGlobal(QPoint(0, 0)).x();
            });
            for (QAbstractButton* b : buttons) captions << b->text();
            defaultButton = box.defaultButton();
            escapeButton = box.escapeButton();
            yesButton = box.button(QMessageBox::Yes);
            cancelButton = box.button(QMessageBox::Cancel);
        },
        [](QMessageBox& box) { return box.button(QMessageBox::Cancel); });

    EXPECT_EQ(dialogs.Confirm("確認", "保存をどうしますか？"), lv::ConfirmAnswer::Cancel);
    EXPECT_EQ(title, QStringLiteral("確認"));
    EXPECT_EQ(text, QStringLiteral("保存をどうしますか？"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"),
                                     QStringLiteral("ｷｬﾝｾﾙ")}));
    EXPECT_EQ(defaultButton, yesButton);
    EXPECT_EQ(escapeButton, cancelButton);
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
