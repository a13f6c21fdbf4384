// The writer: checks and writes the dictionary at once, then takes cases one
// by one into a row of slots that the data writer encodes.
#include <cfloat>
#include <climits>
#include <cstring>

#include "data_stream.h"
#include "dictionary_records.h"
#include "file_plan.h"
#include "record_bytes.h"
#include "savio/sav_writer.h"

namespace savio::writer {

const char* ErrorCodeName(ErrorCode code) {
    switch (code) {
#define SAVIO_NAME(c)  \
    case ErrorCode::c: \
        return #c;
        SAVIO_NAME(InvalidHeader)
        SAVIO_NAME(InvalidEncoding)
        SAVIO_NAME(InvalidName)
        SAVIO_NAME(DuplicateName)
        SAVIO_NAME(InvalidWidth)
        SAVIO_NAME(InvalidFormat)
        SAVIO_NAME(InvalidMissing)
        SAVIO_NAME(InvalidValueLabel)
        SAVIO_NAME(InvalidDisplay)
        SAVIO_NAME(InvalidWeight)
        SAVIO_NAME(InvalidDocument)
        SAVIO_NAME(InvalidAttribute)
        SAVIO_NAME(InvalidSet)
        SAVIO_NAME(RecordTooLarge)
        SAVIO_NAME(SinkNotRewritable)
        SAVIO_NAME(NoSuchVariable)
        SAVIO_NAME(ValueTooLong)
        SAVIO_NAME(CaseCountMismatch)
        SAVIO_NAME(WriteFailed)
        SAVIO_NAME(NotWriting)
#undef SAVIO_NAME
    }
    return "?";
}

namespace {

std::string Described(ErrorCode code, const std::vector<std::string>& args) {
    std::string out = ErrorCodeName(code);
    for (size_t i = 0; i < args.size(); ++i) out += (i ? ", " : ": ") + args[i];
    return out;
}

}  // namespace

WriteError::WriteError(ErrorCode code, std::vector<std::string> args)
    : std::runtime_error(Described(code, args)), code_(code), args_(std::move(args)) {}

struct Writer::State {
    State(const FileSpec& spec, Sink& sink) : plan(PlanFile(spec)), out(sink) {}

    FilePlan plan;
    BufferedOutput out;
    std::unique_ptr<DataWriter> data;
    std::vector<std::string> shortNames;
    std::vector<uint8_t> blankRow;  // system-missing numbers, blank strings
    std::vector<uint8_t> row;
    int64_t declaredCases = -1;
    bool patchCount = false;
    int64_t cases = 0;
    bool writing = true;

    const ValueSlots& Value(size_t variable, bool string) const {
        if (variable >= plan.values.size() || plan.values[variable].isString() != string)
            throw WriteError(ErrorCode::NoSuchVariable,
                             {std::to_string(variable), string ? "string" : "number"});
        return plan.values[variable];
    }
};

namespace {

// Runs a step of the writer; after a throw the writer takes nothing more.
template <class Step>
void Guarded(bool& writing, const char* call, Step&& step) {
    if (!writing) throw WriteError(ErrorCode::NotWriting, {call});
    try {
        step();
    } catch (...) {
        writing = false;
        throw;
    }
}

}  // namespace

Writer::Writer(const FileSpec& spec, Sink& sink) : state_(std::make_unique<State>(spec, sink)) {
    State& s = *state_;
    const bool rewritable = sink.CanRewrite();
    if (spec.compression == Compression::Zlib && !rewritable)
        throw WriteError(ErrorCode::SinkNotRewritable, {"zlib compression"});
    s.declaredCases = spec.caseCount;
    const bool fits = spec.caseCount <= INT32_MAX;
    s.patchCount = spec.caseCount < 0 && rewritable;
    const std::string dictionary =
        DictionaryBytes(spec, s.plan, fits ? int32_t(spec.caseCount) : -1);

    std::vector<uint8_t> slotIsString(size_t(s.plan.slotCount), 0);
    s.blankRow.resize(size_t(s.plan.slotCount) * 8);
    for (const ValueSlots& v : s.plan.values) {
        uint8_t* first = s.blankRow.data() + size_t(v.firstSlot) * 8;
        const int slots = SlotCount(v.width);
        if (v.isString()) {
            std::memset(first, ' ', size_t(slots) * 8);
            std::memset(slotIsString.data() + v.firstSlot, 1, size_t(slots));
        } else {
            StoreF64(first, -DBL_MAX);
        }
    }
    s.row = s.blankRow;
    for (const auto& names : s.plan.shortNames) s.shortNames.push_back(names[0]);
    Guarded(s.writing, "Writer", [&] {
        s.out.Append(reinterpret_cast<const uint8_t*>(dictionary.data()), dictionary.size());
        s.data = std::make_unique<DataWriter>(spec.compression, s.out, std::move(slotIsString));
    });
}

Writer::~Writer() = default;

void Writer::SetNumber(size_t variable, double value) {
    State& s = *state_;
    Guarded(s.writing, "SetNumber", [&] {
        StoreF64(s.row.data() + size_t(s.Value(variable, false).firstSlot) * 8, value);
    });
}

void Writer::SetString(size_t variable, std::string_view bytes) {
    State& s = *state_;
    Guarded(s.writing, "SetString", [&] {
        const ValueSlots& v = s.Value(variable, true);
        const size_t width = size_t(v.width);
        if (bytes.size() > width) {
            if (bytes.find_first_not_of(' ', width) != std::string_view::npos)
                throw WriteError(ErrorCode::ValueTooLong,
                                 {std::to_string(variable), std::to_string(bytes.size()),
                                  std::to_string(width)});
            bytes = bytes.substr(0, width);
        }
        uint8_t* first = s.row.data() + size_t(v.firstSlot) * 8;
        for (int k = 0; k < v.segments; ++k) {
            const size_t from = size_t(k) * kMaxSegmentWidth;
            const size_t used = from < width ? std::min<size_t>(width - from, kMaxSegmentWidth) : 0;
            const size_t n = bytes.size() > from ? std::min(used, bytes.size() - from) : 0;
            uint8_t* dst = first + size_t(k) * 256;
            std::memcpy(dst, bytes.data() + from, n);
            std::memset(dst + n, ' ', used - n);
        }
    });
}

void Writer::EndCase() {
    State& s = *state_;
    Guarded(s.writing, "EndCase", [&] {
        if (s.declaredCases >= 0 && s.cases >= s.declaredCases)
            throw WriteError(ErrorCode::CaseCountMismatch,
                             {std::to_string(s.declaredCases), std::to_string(s.cases + 1)});
        s.data->Case(s.row.data(), s.row.size());
        ++s.cases;
        std::memcpy(s.row.data(), s.blankRow.data(), s.row.size());
    });
}

void Writer::Finish() {
    State& s = *state_;
    Guarded(s.writing, "Finish", [&] {
        if (s.declaredCases >= 0 && s.cases != s.declaredCases)
            throw WriteError(ErrorCode::CaseCountMismatch,
                             {std::to_string(s.declaredCases), std::to_string(s.cases)});
        s.data->Finish();
        s.out.Flush();
        if (s.patchCount && s.cases <= INT32_MAX) {
            uint8_t count[4];
            StoreI32(count, int32_t(s.cases));
            s.out.sink().Rewrite(kCaseCountOffset, count, 4);
        }
        s.writing = false;
    });
}

int64_t Writer::casesWritten() const {
    return state_->cases;
}

const std::vector<std::string>& Writer::shortNames() const {
    return state_->shortNames;
}

}  // namespace savio::writer
