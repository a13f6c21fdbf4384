// Qt's own dialog texts in Japanese once its translations are installed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include "forms/seam/qt_translations.h"
#include "tests/forms/support_app.h"

namespace {

QString CancelCaption() {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

TEST(QtTranslationsTest, QtsOwnCaptionsTurnJapaneseAndBackWhenRemoved) {
    testsupport::EnsureApplication();
    const QString english = CancelCaption();
    QTranslator* translator = lv::InstallQtTranslations();
    if (!translator)
        GTEST_SKIP() << "Qt's Japanese translations not installed (qt6-translations-l10n)";
    EXPECT_EQ(CancelCaption(), "キャンセル");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "名前を付けて保存");
    delete translator;
    EXPECT_EQ(CancelCaption(), english);
}

}  // namespace
