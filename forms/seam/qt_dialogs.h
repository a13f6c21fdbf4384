// The dialog seam's Qt implementation: real message boxes and file dialogs.
#pragma once

#include <QString>

#include "core/state/dialogs.h"

namespace lv {

class QtDialogs final : public Dialogs {
  public:
    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view caption, std::string_view text) override;
    std::optional<std::string> OpenFile(std::string_view filter,
                                        std::string_view initialName) override;
    std::optional<std::string> SaveFile(std::string_view initialName) override;
    std::optional<SaveChoice> SaveFileAs(std::string_view filter,
                                         std::string_view initialName) override;
    ConfirmAnswer Confirm(std::string_view caption, std::string_view text) override;
    void Beep() override;
    std::optional<std::string> AskPassword(std::string_view path, bool wrong) override;
};

// "description|patterns|description|patterns..." as Qt name filters
// ("description (patterns)" each).
QStringList QtNameFilters(std::string_view filter);

// The path with the first pattern's extension of the chosen name filter
// ("CSV (*.csv)" gives ".csv") when it has none of its own.
QString WithFilterSuffix(const QString& path, const QString& nameFilter);

}  // namespace lv
