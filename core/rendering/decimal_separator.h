// The decimal separator of the f rendering: one byte from the user's locale,
// "." until it is loaded or when the locale has none.
#pragma once

namespace lv {

char DecimalSeparator();
void SetDecimalSeparator(char c);

// Re-reads the user's default locale (LC_ALL / LC_NUMERIC / LANG) and takes
// the first byte of its decimal symbol; "." when the locale cannot be read or
// has an empty symbol. Also the re-read after a change of regional settings.
void LoadDecimalSeparatorFromLocale();

}  // namespace lv
