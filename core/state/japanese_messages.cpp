#include "core/state/japanese_messages.h"

#include <cstdio>
#include <cstring>

#include "core/state/errors.h"

namespace lv {
namespace {

std::string Quoted(const std::string& text) {
    return "「" + text + "」";
}

// "what が必要ですが、..." with the token found, or the end of the condition.
std::string Expected(const char* what, const std::string& found) {
    if (found.empty()) return std::string(what) + "が必要ですが、条件がここで終わっています";
    return std::string(what) + "が必要ですが、" + Quoted(found) + "があります";
}

std::string InOutText(long long code) {
    switch (code) {
        case 2:
            return "ﾌｧｲﾙが見つかりません";
        case 3:
            return "不正なﾌｧｲﾙ名です";
        case 4:
            return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
        case 5:
            return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
        case kInOutReadPastEnd:
            return "ﾌｧｲﾙの末尾以降を読み込みました";
        case kInOutDiskFull:
            return "ﾃﾞｨｽｸがいっぱいです";
        case kInOutNotNumeric:
            return "入力値が数値ではありません";
        default:
            return "I/O ｴﾗｰ (" + std::to_string(code) + ")";
    }
}

}  // namespace

std::string JapaneseText(const Message& m) {
    const std::string& t0 = m.Text(0);
    const std::string n0 = std::to_string(m.Number(0));
    switch (m.code) {
        case MessageCode::None:
            return {};
        case MessageCode::ConditionTooLong:
            return "条件が長すぎます(" + n0 + " バイトまで)";
        case MessageCode::ConditionTooDeep:
            return "括弧の入れ子が深すぎます(" + n0 + " 段まで)";
        case MessageCode::UnclosedString:
            return "文字列の終わりの " + t0 + " がありません";
        case MessageCode::CharacterNotAllowed:
            return Quoted(t0) + "は使えません";
        case MessageCode::ControlCharacter: {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(m.Number(0) & 0xFF));
            return std::string("制御文字 (") + code + ") は使えません";
        }
        case MessageCode::ExpectedOperatorOrEnd:
            return Expected("演算子か条件の終わり", t0);
        case MessageCode::ExpectedCloseParen:
            return Expected("「)」", t0);
        case MessageCode::ExpectedCommaOrParen:
            return Expected("「,」か「)」", t0);
        case MessageCode::ExpectedOperand:
            return Expected("値、変数名、関数または「(」", t0);
        case MessageCode::ConditionIsString:
            return "条件が文字列です:値と比べる式にしてください";
        case MessageCode::NotADate:
            return Quoted(t0) + "は " + m.Text(1) + " の日付として読めません(例: " + m.Text(2) +
                   ")";
        case MessageCode::UnknownVariable:
            return Quoted(t0) + "という変数はありません";
        case MessageCode::NotEncodable:
            return "文字列の" + Quoted(t0) + "はこのファイルの文字コードで書けません";
        case MessageCode::NeitherNumberNorDate:
            return Quoted(t0) + "は数値としても日付としても読めません";
        case MessageCode::MinusNeedsNumber:
            return "「-」の後には数値の式が必要です";
        case MessageCode::NotNeedsCondition:
            return "NOT の後には条件が必要です(文字列は使えません)";
        case MessageCode::StringInArithmetic:
            return "文字列は計算に使えません";
        case MessageCode::LogicNeedsConditions:
            return t0 + " の両側には条件が必要です(文字列は使えません)";
        case MessageCode::StringAndNumber:
            return "文字列と数値は比べられません";
        case MessageCode::OneArgument:
            return t0 + " の引数は一つです";
        case MessageCode::RangeArguments:
            return "RANGE の引数は値と、下限と上限の組です";
        case MessageCode::AnyArguments:
            return "ANY の引数は値と、比べる一つ以上の値です";
        case MessageCode::ValueNeedsVariable:
            return "VALUE の引数は変数名です";
        case MessageCode::SysmisNeedsNumber:
            return "SYSMIS の引数は数値です(文字列に欠損値はありません)";
        case MessageCode::MissingNeedsArgument:
            return "MISSING の引数は変数名か数値の式です";
        case MessageCode::MixedArguments:
            return t0 + " の引数に文字列と数値が混ざっています";
        case MessageCode::UnknownFunction:
            return Quoted(t0) + "という関数はありません(使えるのは " + m.Text(1) + ")";
        case MessageCode::ToNeedsNames:
            return "TO は二つの変数名の間に書きます(q1 TO q5)";
        case MessageCode::ExpectedVariableAfterTo:
            return Expected("TO の後の変数名", t0);
        case MessageCode::ToOutOfOrder:
            return t0 + " はファイルで " + m.Text(1) + " より後にあります:" + m.Text(1) + " TO " +
                   t0 + " と書いてください";
        case MessageCode::FunctionArguments:
            return t0 + " の引数は " +
                   (m.Number(1) < 0 ? n0 + " 個以上"
                    : m.Number(1) == m.Number(0)
                        ? n0 + " 個"
                        : n0 + "〜" + std::to_string(m.Number(1)) + " 個") +
                   "です";
        case MessageCode::ArgumentNotNumber:
            return t0 + " の " + n0 + " 番目の引数は数値です";
        case MessageCode::ArgumentNotString:
            return t0 + " の " + n0 + " 番目の引数は文字列です";
        case MessageCode::ValidCountTooLarge:
            return t0 + "." + n0 + " は有効な値を " + n0 + " 個求めていますが、引数は " +
                   std::to_string(m.Number(1)) + " 個です";
        case MessageCode::DateUnitUnknown:
            return Quoted(t0) +
                   "は単位ではありません(years, quarters, months, weeks, days, hours, minutes, "
                   "seconds)";
        case MessageCode::LagNeedsVariable:
            return "LAG の引数は変数名と、何ケース前か(1 以上)です";
        case MessageCode::ComputedNameInvalid:
            return Quoted(t0) + "は変数名にできません(先頭は文字、続けて文字・数字・_ . @ # $)";
        case MessageCode::ComputedNameTaken:
            return Quoted(t0) + "という変数はすでにあります";
        case MessageCode::ComputedFormatMismatch:
            return t0 + " は" + (m.Number(0) ? "文字列" : "数値") + "です:" + Quoted(m.Text(1)) +
                   "はその書式ではありません" + (m.Number(0) ? "(A20)" : "(F8.2, COMMA10, DATE11)");
        case MessageCode::ComputedNeedsFile:
            return "変数の計算はデータファイルを読み込んだグリッドでのみ使えます";
        case MessageCode::ComputedInUse:
            return t0 + " は " + Quoted(m.Text(1)) + "の式で使われているため削除できません";
        case MessageCode::ValueLabelNeedsVariable:
            return "VALUELABEL の引数は変数名です";
        case MessageCode::FormatArgument:
            return Quoted(m.Text(1)) + "は " + t0 +
                   (t0 == "NUMBER" ? " が読める書式ではありません(F8.2, COMMA10.2, DOLLAR12, PCT6, "
                                     "N5, DATE11, ADATE10)"
                                   : " が書ける書式ではありません(F8.2, COMMA10.2, E10.3, DATE11, "
                                     "TIME8)");
        case MessageCode::OutputHasNoName:
            return "書き出し先のファイル名がありません：" + t0;
        case MessageCode::OutputFolderMissing:
            return "書き出し先のフォルダがありません：" + t0;
        case MessageCode::OutputIsFolder:
            return "書き出し先がフォルダです：" + t0;
        case MessageCode::OutputReadOnly:
            return "書き出し先は読み取り専用です：" + t0;
        case MessageCode::OutputIsInput:
            return "読み込み中のファイルには保存できません。別の名前を選んでください：" + t0;
        case MessageCode::SavNotWritable:
            return "SPSS データファイルとして保存できませんでした：" + t0 + "（" + m.Text(1) + "）";
        case MessageCode::PdfNoBookmarks:
            return "PDF に目次（しおり）を付けられませんでした：" + t0 + "（" + m.Text(1) + "）";
        case MessageCode::SavNoDictionary:
            return "辞書を読み込めていないため、SPSS データファイルとして保存できません";
        case MessageCode::OutputDiskFull:
            return "ディスクに空きがないため書き出せませんでした：" + t0;
        case MessageCode::OutputNotWritable:
            return "書き出し先に書き込めません（読み取り専用か権限がありません）：" + t0;
        case MessageCode::OutputFailed:
            return "書き出せませんでした：" + t0 + "（" + std::strerror(m.err) + "）";
        case MessageCode::XlsxToStandardOutput:
            return "Excel ブックは標準出力には書き出せません";
        case MessageCode::XlsxTooManyRows:
            return "Excel のシートは見出しを含めて 1,048,576 行までです（書き出す行は " + n0 +
                   " 行と見出し）：行を絞って書き出してください";
        case MessageCode::XlsxTooManyColumns:
            return "Excel のシートは 16,384 列までです（書き出す変数は " + n0 +
                   " 個）：変数を絞って書き出してください";
        case MessageCode::XlsxCellTooLong:
            return "Excel のセルには 32,767 文字までしか入りません（" + n0 + " 行目）";
        case MessageCode::XlsxFailed:
            return "Excel ブックを書き出せませんでした：" + t0;
        case MessageCode::XlsxNoDictionary:
            return "辞書シートに書く変数の情報がないため、書き出しを中止しました";
        case MessageCode::ConvertDataUnfinished:
            return "データを読み終えられなかったため、書き出しを中止しました";
        case MessageCode::ConvertFileChanged:
            return "データファイルが読み込み後に変更されたか削除されたため、書き出しを中止しました";
        case MessageCode::ExportFileChanged:
            return kExportLostText;
        case MessageCode::DictionaryReadFailed:
            return "辞書の読み込みに失敗しました:" + t0;
        case MessageCode::FileAccessFailed:
            return "file access失敗";
        case MessageCode::NotRegularFile:
            return kNotRegularFileText;
        case MessageCode::DataReadTrouble:
            return "データ読み込み中にトラブル発生：再度挑戦してください";
        case MessageCode::MatrixDataNotRead:
            return "このデータは読めません:Matrix DATA です";
        case MessageCode::MatrixDataNotLoaded:
            return "このデータは読み込みません:Matrix DATA です";
        case MessageCode::NoFileChosen:
            return kNoFileChosenText;
        case MessageCode::GridFileChanged:
            return kLostActionText;
        case MessageCode::InOut:
            return InOutText(m.Number(0));
        case MessageCode::SpecifierMismatch:
            return "書式文字列 '" + t0 + "' は正しくないか引数の型と一致しません";
        case MessageCode::SpecifierMissingArgument:
            return "書式文字列 '" + t0 + "' の引数が見つかりません";
        case MessageCode::PassCannotOpen:
            return "ファイルを開けません（" + n0 + "）";
        case MessageCode::PassNoVariable:
            return "変数 " + t0 + " を読めません";
        case MessageCode::PassNoWeight:
            return "重み付け変数を読めません";
        case MessageCode::PassDataDamaged:
            return "ケース " + n0 + " の後のデータが壊れているか途中で終わっています";
        case MessageCode::TooManyCategories:
            return "カテゴリが多すぎます（" + n0 + " まで）";
    }
    return {};
}

std::string JapaneseAtCharacter(size_t position, const Message& message) {
    return std::to_string(position) + " 文字目: " + JapaneseText(message);
}

}  // namespace lv
