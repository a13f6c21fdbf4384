// Runs a compiled condition over a block of cases: the program once per
// case on a small stack of numbers and strings.
#include <cmath>

#include "core/condition/condition.h"
#include "core/condition/condition_syntax.h"
#include "core/condition/number_input.h"
#include "core/text/trim.h"

namespace lv {
namespace {

constexpr double kMissing = kConditionMissing;
using Code = Condition::Instruction::Code;

// -1, 0 or 1 as a and b compare when the shorter is padded with blanks.
int ComparePadded(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
    const std::string_view rest = a.size() > b.size() ? a.substr(common) : b.substr(common);
    const int sign = a.size() > b.size() ? 1 : -1;
    for (char c : rest)
        if (c != ' ') return static_cast<unsigned char>(c) < ' ' ? -sign : sign;
    return 0;
}

bool Holds(BinaryOp op, int order) {
    switch (op) {
        case BinaryOp::Eq:
            return order == 0;
        case BinaryOp::Ne:
            return order != 0;
        case BinaryOp::Lt:
            return order < 0;
        case BinaryOp::Le:
            return order <= 0;
        case BinaryOp::Gt:
            return order > 0;
        default:
            return order >= 0;
    }
}

// A number where a truth value is wanted: 0 and 1 as they are, missing as
// missing, anything else false.
double Truth(double v) {
    return v == 1 || v == kMissing ? v : 0;
}

double Finite(double v) {
    return std::isfinite(v) ? v : kMissing;
}

// a ** b as SPSS has it: x ** 0 is 1 and 0 ** x is 0 even for a missing x;
// 0 to a power not above 0 is missing.
double Power(double a, double b) {
    if (a == kMissing) return b == 0 ? 1 : kMissing;
    if (b == kMissing) return a == 0 ? 0 : kMissing;
    if (a == 0 && b <= 0) return kMissing;
    return Finite(std::pow(a, b));
}

}  // namespace

void Condition::Select(const ConditionBlock& block, uint32_t firstCase,
                       std::vector<uint32_t>& out) const {
    Run(block, firstCase, [&](uint32_t r, const Cell& top) {
        if (top.number == 1) out.push_back(firstCase + r);
    });
}

void Condition::RunProgram(const ConditionBlock& block, uint32_t firstCase,
                           const std::function<void(uint32_t, const Cell&)>& sink) const {
    if (static_cast<int64_t>(firstCase) != nextCase_)
        for (LagRing& ring : lags_) ring.head = ring.filled = 0;
    nextCase_ = static_cast<int64_t>(firstCase) + block.rows;
    std::vector<Cell> stack(stackSize_ + 1);
    std::vector<std::string> owned(stackSize_ + 1);  // strings made by the program, per slot
    std::string made;
    const FunctionContext context{encoding_, utf8_};
    std::vector<bool> checkMissing(missing_.size());
    for (size_t k = 0; k < missing_.size(); ++k) checkMissing[k] = missing_[k].any();
    for (uint32_t r = 0; r < block.rows; ++r) {
        Cell* top = stack.data() - 1;  // the last value pushed
        for (const Instruction& in : program_) {
            switch (in.code) {
                case Code::Number:
                    (++top)->number = in.number;
                    break;
                case Code::Text:
                    (++top)->text = literals_[in.arg];
                    break;
                case Code::Load: {
                    double v = block.numbers[in.arg][r];
                    if (v != kMissing && checkMissing[in.arg] && missing_[in.arg].Holds(v))
                        v = kMissing;
                    (++top)->number = v;
                    break;
                }
                case Code::LoadValue:
                    (++top)->number = block.numbers[in.arg][r];
                    break;
                case Code::LoadText: {
                    const std::string_view v = block.strings[in.arg][r];
                    ++top;
                    if (v.size() < in.number) {
                        std::string& pad = owned[static_cast<size_t>(top - stack.data())];
                        pad.assign(v);
                        pad.resize(static_cast<size_t>(in.number), ' ');
                        top->text = pad;
                    } else {
                        top->text = v;
                    }
                    break;
                }
                case Code::Casenum:
                    (++top)->number = static_cast<double>(firstCase) + r + 1;
                    break;
                case Code::Power: {
                    const double b = top->number;
                    --top;
                    top->number = Power(top->number, b);
                    break;
                }
                case Code::Negate:
                    if (top->number != kMissing) top->number = -top->number;
                    break;
                case Code::Add:
                case Code::Subtract:
                case Code::Multiply:
                case Code::Divide: {
                    const double b = top->number;
                    const double a = (--top)->number;
                    double v = kMissing;
                    if ((a == 0 && (in.code == Code::Multiply || in.code == Code::Divide)) ||
                        (b == 0 && in.code == Code::Multiply)) {
                        // 0 times or divided by anything is 0, missing or 0.
                        v = 0;
                    } else if (a == kMissing || b == kMissing) {
                    } else if (in.code == Code::Add) {
                        v = a + b;
                    } else if (in.code == Code::Subtract) {
                        v = a - b;
                    } else if (in.code == Code::Multiply) {
                        v = a * b;
                    } else if (b != 0) {
                        v = a / b;
                    }
                    top->number = Finite(v);
                    break;
                }
                case Code::Compare: {
                    const double b = top->number;
                    const double a = (--top)->number;
                    top->number = a == kMissing || b == kMissing
                                      ? kMissing
                                      : Holds(static_cast<BinaryOp>(in.flags), a < b   ? -1
                                                                               : a > b ? 1
                                                                                       : 0);
                    break;
                }
                case Code::CompareText: {
                    const std::string_view b = top->text;
                    const std::string_view a = (--top)->text;
                    top->number = Holds(static_cast<BinaryOp>(in.flags), ComparePadded(a, b));
                    break;
                }
                case Code::And:
                case Code::Or: {
                    double b = top->number;
                    double a = (--top)->number;
                    if (in.flags & 1) a = Truth(a);
                    if (in.flags & 2) b = Truth(b);
                    const double decisive = in.code == Code::And ? 0 : 1;
                    top->number = a == decisive || b == decisive   ? decisive
                                  : a == kMissing || b == kMissing ? kMissing
                                                                   : 1 - decisive;
                    break;
                }
                case Code::Not: {
                    const double a = in.flags ? Truth(top->number) : top->number;
                    top->number = a == kMissing ? kMissing : 1 - a;
                    break;
                }
                case Code::Truth:
                    top->number = Truth(top->number);
                    break;
                case Code::Missing: {
                    const double v = top->number;
                    top->number =
                        v == kMissing || (checkMissing[in.arg] && missing_[in.arg].Holds(v));
                    break;
                }
                case Code::MissingText:
                    top->number = checkMissing[in.arg] &&
                                  missing_[in.arg].Holds(WithoutTrailingBlanks(top->text));
                    break;
                case Code::Sysmis:
                    top->number = top->number == kMissing;
                    break;
                case Code::Any:
                case Code::Range: {
                    const uint32_t values = in.code == Code::Any ? in.arg : 2 * in.arg;
                    top -= values;
                    const Cell* set = top + 1;
                    double result = 0;
                    if (in.flags) {
                        const std::string_view v = top->text;
                        for (uint32_t k = 0; k < values && result == 0;
                             k += in.code == Code::Any ? 1 : 2)
                            result = in.code == Code::Any
                                         ? ComparePadded(v, set[k].text) == 0
                                         : ComparePadded(v, set[k].text) >= 0 &&
                                               ComparePadded(v, set[k + 1].text) <= 0;
                    } else if (top->number == kMissing) {
                        result = kMissing;
                    } else {
                        const double v = top->number;
                        for (uint32_t k = 0; k < values && result == 0;
                             k += in.code == Code::Any ? 1 : 2)
                            result = in.code == Code::Any
                                         ? set[k].number != kMissing && v == set[k].number
                                         : set[k].number != kMissing &&
                                               set[k + 1].number != kMissing &&
                                               set[k].number <= v && v <= set[k + 1].number;
                    }
                    top->number = result;
                    break;
                }
                case Code::Call:
                case Code::CallText:
                    top -= in.arg - 1;
                    ApplyConditionFunction(static_cast<ConditionFunction>(in.flags), top, in.arg,
                                           static_cast<int>(in.number), context, made);
                    if (in.code == Code::CallText) {
                        std::string& slot = owned[static_cast<size_t>(top - stack.data())];
                        slot.swap(made);
                        top->text = slot;
                    }
                    break;
                case Code::Lag: {
                    const LagRing& ring = lags_[in.arg];
                    const bool held = ring.filled == ring.depth;
                    ++top;
                    if (!ring.text) {
                        double v = held ? ring.numbers[ring.head] : kMissing;
                        if (v != kMissing && checkMissing[ring.slot] &&
                            missing_[ring.slot].Holds(v))
                            v = kMissing;
                        top->number = v;
                        break;
                    }
                    std::string& slot = owned[static_cast<size_t>(top - stack.data())];
                    slot.assign(held ? std::string_view(ring.texts[ring.head])
                                     : std::string_view());
                    if (slot.size() < in.number) slot.resize(static_cast<size_t>(in.number), ' ');
                    top->text = slot;
                    break;
                }
                case Code::ValueLabel: {
                    const DictVariable& v = labelled_[in.arg];
                    const auto slot = static_cast<size_t>(in.number);
                    const std::string* label = nullptr;
                    if (v.isString()) {
                        label = v.LabelOf(WithoutTrailingBlanks(block.strings[slot][r]));
                    } else if (const double x = block.numbers[slot][r]; x != kMissing) {
                        label = v.LabelOf(x);
                    }
                    (++top)->text = label ? std::string_view(*label) : std::string_view();
                    break;
                }
                case Code::ReadNumber:
                    top->number = ReadFormattedNumber(top->text, formats_[in.arg]);
                    break;
                case Code::WriteNumber: {
                    std::string& slot = owned[static_cast<size_t>(top - stack.data())];
                    slot.clear();
                    if (top->number == kMissing)
                        renders_[in.arg].AppendSysmis(slot);
                    else
                        renders_[in.arg].AppendNumber(slot, top->number);
                    top->text = slot;
                    break;
                }
            }
        }
        sink(r, stack[0]);
        for (LagRing& ring : lags_) {
            if (ring.text)
                ring.texts[ring.head].assign(block.strings[ring.slot][r]);
            else
                ring.numbers[ring.head] = block.numbers[ring.slot][r];
            ring.head = (ring.head + 1) % ring.depth;
            if (ring.filled < ring.depth) ++ring.filled;
        }
    }
}

}  // namespace lv
