// A data file read through the spss... calls the way the grid load reads
// it, kept as bytes per cell, with the case index taken before the close;
// and the same cells from decoded slots, for comparing the reader's
// on-demand reads with the calls.
#pragma once

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "savio/case_index.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace readback {

// Numbers that compress and that do not, SYSMIS, short strings (some with a
// NUL byte), and a very long string running across its three segments;
// 97 slots, so that cases start at every place of a command group.
inline fixture::File MixedFile(fixture::Compression c, fixture::Endian e, int cases) {
    fixture::File f;
    f.compression = c;
    f.endian = e;
    f.zlibBlockSize = 1001;  // blocks end inside groups and raw values
    f.variables = {fixture::Numeric("ID"),      fixture::Numeric("X"),
                   fixture::String("S3", 3),    fixture::String("S20", 20),
                   fixture::String("VLS", 700), fixture::Numeric("D", fixture::Format{20, 11, 0}),
                   fixture::Numeric("Y")};
    std::mt19937 rng(42);
    for (int r = 0; r < cases; ++r) {
        std::string vls(rng() % 701, ' ');
        for (size_t i = 0; i < vls.size(); ++i) vls[i] = char('a' + (i + r) % 26);
        const std::string s20 =
            std::string(rng() % 18, 'z') + (r % 7 ? "" : std::string("a\0b", 3));
        f.cases.push_back({double(r % 200) - 99, rng() % 5 == 0 ? fixture::kSysmis : r * 0.37,
                           std::string(rng() % 4, 'k'), s20, vls, 13203129600.0 + 86400.0 * r,
                           r * -1.5});
    }
    return f;
}

// One case: per variable, a number's 8 bytes or a string's width bytes.
using Cells = std::vector<std::string>;

struct ReadBack {
    std::vector<Cells> rows;
    savio::CaseIndex index;
    int status = 0;  // what ended the read
};

// Reads every case of the open file h (checkpoints every 2^shift cases when
// shift >= 0) and takes its index.
inline ReadBack ReadThroughCalls(int h, int shift) {
    ReadBack out;
    if (shift >= 0) savio::SetCheckpointShift(h, shift);
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(n);
    std::vector<int> types(n);
    for (int i = 0; i < n; ++i) {
        char name[10];
        spssGetVarInfo(h, i, name, &types[i]);
        spssGetVarHandle(h, name, &handles[i]);
    }
    std::vector<char> buf(40000);
    while ((out.status = spssReadCaseRecord(h)) == 0) {
        Cells row(n);
        for (int i = 0; i < n; ++i) {
            if (types[i]) {
                spssGetValueChar(h, handles[i], buf.data(), int(buf.size()));
                row[i].assign(buf.data(), size_t(types[i]));
            } else {
                double d = 0;
                spssGetValueNumeric(h, handles[i], &d);
                row[i].assign(reinterpret_cast<const char*>(&d), 8);
            }
        }
        out.rows.push_back(std::move(row));
    }
    savio::GetCaseIndex(h, &out.index);
    return out;
}

inline ReadBack ReadFileThroughCalls(const std::string& path, int shift) {
    int h = 0;
    if (spssOpenRead(path.c_str(), &h) != 0) return {};
    ReadBack out = ReadThroughCalls(h, shift);
    spssCloseRead(h);
    return out;
}

// The cells of a case from its decoded slots.
inline Cells CellsFromSlots(const savio::CaseIndex& index, const uint8_t* caseSlots) {
    Cells row;
    for (const savio::ValueSlots& v : index.values) {
        std::string cell;
        if (!v.isString()) {
            const double d = savio::SlotNumber(caseSlots, v, index.shape.swap);
            cell.assign(reinterpret_cast<const char*>(&d), 8);
        } else {
            savio::ForEachStringPiece(caseSlots, v, [&](const uint8_t* p, size_t n) {
                cell.append(reinterpret_cast<const char*>(p), n);
            });
        }
        row.push_back(std::move(cell));
    }
    return row;
}

}  // namespace readback
