#include "forms/windows/encoding_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <string>

#include "core/text/display_encoding.h"
#include "core/text/encoding_choices.h"
#include "forms/seam/error_handler.h"

namespace lv {
namespace {

QAction* AddChoice(QMenu* submenu, QActionGroup* group, const QString& caption,
                   const std::string& encoding) {
    QAction* action = submenu->addAction(caption);
    action->setCheckable(true);
    action->setChecked(ChosenDisplayEncoding() == encoding);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, submenu,
                     [encoding] { RunHandler([&encoding] { ChooseDisplayEncoding(encoding); }); });
    return action;
}

}  // namespace

QMenu* AddEncodingMenu(QMenu& menu) {
    QMenu* submenu = menu.addMenu(QStringLiteral("文字コード"));
    submenu->setToolTipsVisible(true);
    auto* group = new QActionGroup(submenu);
    group->setExclusive(true);
    QAction* automatic = AddChoice(submenu, group, QStringLiteral("自動"), std::string());
    automatic->setToolTip(QStringLiteral("ファイルから判定した文字コード：") +
                          QString::fromStdString(CurrentFileEncoding()));
    int lastGroup = -1;
    for (const EncodingChoice& choice : EncodingChoices()) {
        if (choice.group != lastGroup) submenu->addSeparator();
        lastGroup = choice.group;
        AddChoice(submenu, group, QString::fromUtf8(choice.caption.data(), choice.caption.size()),
                  std::string(choice.name));
    }
    return submenu;
}

}  // namespace lv
