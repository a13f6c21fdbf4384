#include "forms/seam/password_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lv {

PasswordDialog::PasswordDialog(QWidget* parent, const QString& fileName, bool wrong)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("パスワード"));
    auto* layout = new QVBoxLayout(this);
    QString text = wrong ? QStringLiteral("パスワードが違います。もう一度入力してください。\n")
                         : QStringLiteral("このファイルは暗号化されています。\n");
    text += QStringLiteral("%1 のパスワード:").arg(fileName);
    message = new QLabel(text, this);
    layout->addWidget(message);
    password = new QLineEdit(this);
    password->setEchoMode(QLineEdit::Password);
    layout->addWidget(password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

PasswordDialog::~PasswordDialog() {
    password->clear();
}

std::optional<std::string> PasswordDialog::TakePassword() {
    if (result() != QDialog::Accepted) return std::nullopt;
    QByteArray bytes = password->text().toUtf8();
    password->clear();
    std::string typed(bytes.constData(), static_cast<size_t>(bytes.size()));
    bytes.fill('\0');
    return typed;
}

}  // namespace lv
