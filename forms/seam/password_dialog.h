// The password dialog (パスワード) shown when the chosen file is encrypted.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;

namespace lv {

class PasswordDialog : public QDialog {
    Q_OBJECT
  public:
    // fileName is shown; wrong adds that the last password did not open it.
    PasswordDialog(QWidget* parent, const QString& fileName, bool wrong);
    ~PasswordDialog() override;

    QLabel* message;
    QLineEdit* password;

    // The password typed (UTF-8), the field emptied; nothing when cancelled.
    std::optional<std::string> TakePassword();
};

}  // namespace lv
