// A data file read through the spss... calls the way the grid load reads
// it, kept as bytes per cell, with the case index taken before the close;
// and the same cells from decoded slots, for comparing the reader's
// on-demand reads with the calls.
#ifndef LORIVANE_TESTS_SUPPORT_READBACK_H
#define LORIVANE_TESTS_SUPPORT_READBACK_H

#include <cstring>
#include <string>
#include <vector>

#include "core/spssfio.h"
#include "savio/case_index.h"
#include "savio/open_files.h"

namespace readback {

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
    if (shift >= 0) savio::FindOpenFile(h)->SetCheckpointShift(shift);
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
inline Cells CellsFromSlots(const savio::CaseIndex& index, const uint8_t* slots) {
    Cells row;
    for (const savio::ValueSlots& v : index.values) {
        std::string cell;
        if (!v.isString()) {
            const double d = savio::SlotNumber(slots, v, index.shape.swap);
            cell.assign(reinterpret_cast<const char*>(&d), 8);
        } else {
            savio::ForEachStringPiece(slots, v, [&](const uint8_t* p, size_t n) {
                cell.append(reinterpret_cast<const char*>(p), n);
            });
        }
        row.push_back(std::move(cell));
    }
    return row;
}

}  // namespace readback

#endif
