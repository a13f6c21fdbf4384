// The data-file call boundary: the spss... calls the windows use to read
// SPSS system files (.sav / .zsav). Implemented by our own reader (savio/).
// Every call returns a status (0 = success, negative = warning, positive =
// error) except spssSysmisVal. The library never writes more than the sizes
// noted into a caller's buffer. Text stays in the file's own bytes.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes, each listed once with the name StatusName shows for it
   (warnings, the negative codes, are shown with "warning:" before it). */
#define SPSS_STATUS_CODES(X)     \
    X(SPSS_OK, 0)                \
    X(SPSS_FILE_OERROR, 1)       \
    X(SPSS_FILE_WERROR, 2)       \
    X(SPSS_FILE_RERROR, 3)       \
    X(SPSS_FITAB_FULL, 4)        \
    X(SPSS_INVALID_HANDLE, 5)    \
    X(SPSS_INVALID_FILE, 6)      \
    X(SPSS_NO_MEMORY, 7)         \
    X(SPSS_OPEN_RDMODE, 8)       \
    X(SPSS_OPEN_WRMODE, 9)       \
    X(SPSS_INVALID_VARNAME, 10)  \
    X(SPSS_DICT_EMPTY, 11)       \
    X(SPSS_VAR_NOTFOUND, 12)     \
    X(SPSS_DUP_VAR, 13)          \
    X(SPSS_NUME_EXP, 14)         \
    X(SPSS_STR_EXP, 15)          \
    X(SPSS_SHORTSTR_EXP, 16)     \
    X(SPSS_INVALID_VARTYPE, 17)  \
    X(SPSS_INVALID_MISSFOR, 18)  \
    X(SPSS_INVALID_COMPSW, 19)   \
    X(SPSS_INVALID_PRFOR, 20)    \
    X(SPSS_INVALID_WRFOR, 21)    \
    X(SPSS_INVALID_DATE, 22)     \
    X(SPSS_INVALID_TIME, 23)     \
    X(SPSS_NO_VARIABLES, 24)     \
    X(SPSS_DUP_VALUE, 27)        \
    X(SPSS_INVALID_CASEWGT, 28)  \
    X(SPSS_DICT_COMMIT, 30)      \
    X(SPSS_DICT_NOTCOMMIT, 31)   \
    X(SPSS_NO_TYPE2, 33)         \
    X(SPSS_NO_TYPE73, 41)        \
    X(SPSS_INVALID_DATEINFO, 45) \
    X(SPSS_NO_TYPE999, 46)       \
    X(SPSS_EXC_STRVALUE, 47)     \
    X(SPSS_CANNOT_FREE, 48)      \
    X(SPSS_BUFFER_SHORT, 49)     \
    X(SPSS_INVALID_CASE, 50)     \
    X(SPSS_INTERNAL_VLABS, 51)   \
    X(SPSS_INCOMPAT_APPEND, 52)  \
    X(SPSS_INTERNAL_D_A, 53)     \
    X(SPSS_EXC_LEN64, -1)        \
    X(SPSS_EXC_VARLABEL, -2)     \
    X(SPSS_EXC_VALLABEL, -4)     \
    X(SPSS_FILE_END, -5)         \
    X(SPSS_NO_VARSETS, -6)       \
    X(SPSS_EMPTY_VARSETS, -7)    \
    X(SPSS_NO_LABELS, -8)        \
    X(SPSS_NO_LABEL, -9)         \
    X(SPSS_NO_CASEWGT, -10)      \
    X(SPSS_NO_DATEINFO, -11)

#define SPSS_STATUS_ENUMERATOR(name, value) name = (value),
enum { SPSS_STATUS_CODES(SPSS_STATUS_ENUMERATOR) };
#undef SPSS_STATUS_ENUMERATOR

/* Older names of two warnings; StatusName never shows them. */
#define SPSS_EXC_LEN120 SPSS_EXC_VARLABEL
#define SPSS_EXC_LEN60 SPSS_EXC_VALLABEL

/* Sizes of the callers' buffers, with the NUL: the library writes at most
   this much into them. */
#define SPSS_SYSTEM_STRING_SIZE 66 /* spssGetSystemString */
#define SPSS_TIME_STAMP_SIZE 10    /* each text of spssGetTimeStamp */
#define SPSS_ID_STRING_SIZE 68     /* spssGetIdString */
#define SPSS_WEIGHT_NAME_SIZE 12   /* spssGetCaseWeightVar */
#define SPSS_VAR_NAME_SIZE 10      /* spssGetVarInfo */
#define SPSS_VAR_LABEL_SIZE 124    /* spssGetVarLabel (it writes at most 123) */
#define SPSS_STRING_MISSING_SIZE 9 /* each value of spssGetVarCMissingValues */

/* Missing-value format codes of spssGet...MissingValues. */
#define SPSS_NO_MISSVAL 0
#define SPSS_ONE_MISSVAL 1
#define SPSS_TWO_MISSVAL 2
#define SPSS_THREE_MISSVAL 3
#define SPSS_MISS_RANGE (-2)
#define SPSS_MISS_RANGEANDVAL (-3)

/* Print/write format type codes, each with the name formats are written
   with (F8.2, A40, DATE11, ...). Codes not listed are not valid formats. */
#define SPSS_FORMAT_TYPES(X)              \
    X(SPSS_FMT_A, 1, "A")                 \
    X(SPSS_FMT_AHEX, 2, "AHEX")           \
    X(SPSS_FMT_COMMA, 3, "COMMA")         \
    X(SPSS_FMT_DOLLAR, 4, "DOLLAR")       \
    X(SPSS_FMT_F, 5, "F")                 \
    X(SPSS_FMT_IB, 6, "IB")               \
    X(SPSS_FMT_PIBHEX, 7, "PIBHEX")       \
    X(SPSS_FMT_P, 8, "P")                 \
    X(SPSS_FMT_PIB, 9, "PIB")             \
    X(SPSS_FMT_PK, 10, "PK")              \
    X(SPSS_FMT_RB, 11, "RB")              \
    X(SPSS_FMT_RBHEX, 12, "RBHEX")        \
    X(SPSS_FMT_Z, 15, "Z")                \
    X(SPSS_FMT_N, 16, "N")                \
    X(SPSS_FMT_E, 17, "E")                \
    X(SPSS_FMT_DATE, 20, "DATE")          \
    X(SPSS_FMT_TIME, 21, "TIME")          \
    X(SPSS_FMT_DATE_TIME, 22, "DATETIME") \
    X(SPSS_FMT_ADATE, 23, "ADATE")        \
    X(SPSS_FMT_JDATE, 24, "JDATE")        \
    X(SPSS_FMT_DTIME, 25, "DTIME")        \
    X(SPSS_FMT_WKDAY, 26, "WKDAY")        \
    X(SPSS_FMT_MONTH, 27, "MONTH")        \
    X(SPSS_FMT_MOYR, 28, "MOYR")          \
    X(SPSS_FMT_QYR, 29, "QYR")            \
    X(SPSS_FMT_WKYR, 30, "WKYR")          \
    X(SPSS_FMT_PCT, 31, "PCT")            \
    X(SPSS_FMT_DOT, 32, "DOT")            \
    X(SPSS_FMT_CCA, 33, "CCA")            \
    X(SPSS_FMT_CCB, 34, "CCB")            \
    X(SPSS_FMT_CCC, 35, "CCC")            \
    X(SPSS_FMT_CCD, 36, "CCD")            \
    X(SPSS_FMT_CCE, 37, "CCE")            \
    X(SPSS_FMT_EDATE, 38, "EDATE")        \
    X(SPSS_FMT_SDATE, 39, "SDATE")        \
    X(SPSS_FMT_MTIME, 40, "MTIME")        \
    X(SPSS_FMT_YMDHMS, 41, "YMDHMS")

#define SPSS_FORMAT_ENUMERATOR(name, code, text) name = (code),
enum { SPSS_FORMAT_TYPES(SPSS_FORMAT_ENUMERATOR) };
#undef SPSS_FORMAT_ENUMERATOR

int spssOpenRead(const char* fileName, int* h);
int spssCloseRead(int h);
int spssGetSystemString(int h, char* sysName);               /* at most 66 bytes with the NUL */
int spssGetTimeStamp(int h, char* fileDate, char* fileTime); /* at most 10 bytes each */
int spssGetNumberofCases(int h, int* numCases);
int spssGetNumberofVariables(int h, int* numVars);
int spssGetIdString(int h, char* id); /* at most 68 bytes */
int spssGetCompression(int h, int* compSwitch);
int spssGetCaseWeightVar(int h, char* varName); /* at most 12 bytes; -10 when there is none */
double spssSysmisVal(void);
int spssGetVarInfo(int h, int iVar, char* varName, int* varType); /* name at most 10 bytes */
int spssGetVarLabel(int h, const char* varName, char* varLabel);  /* at most 124 bytes */
int spssGetVarPrintFormat(int h, const char* varName, int* type, int* dec, int* width);
int spssGetVarWriteFormat(int h, const char* varName, int* type, int* dec, int* width);
int spssGetVarNMissingValues(int h, const char* varName, int* missingFormat, double* v1, double* v2,
                             double* v3);
int spssGetVarNValueLabels(int h, const char* varName, double** values, char*** labels,
                           int* numLabels);
int spssFreeVarNValueLabels(double* values, char** labels, int numLabels);
int spssGetVarCValueLabels(int h, const char* varName, char*** values, char*** labels,
                           int* numLabels);
int spssFreeVarCValueLabels(char** values, char** labels, int numLabels);
int spssGetVarCMissingValues(int h, const char* varName, int* missingFormat, char* v1, char* v2,
                             char* v3); /* at most 9 bytes each */
int spssGetVarHandle(int h, const char* varName, double* varHandle);
int spssReadCaseRecord(int h);
int spssGetValueNumeric(int h, double varHandle, double* value);
int spssGetValueChar(int h, double varHandle, char* value, int valueSize);
int spssConvertSPSSDate(int* day, int* month, int* year, double spssDate);

/* Extras of ours, in the same style. */

/* Statuses of ours beyond the listed codes (StatusName has no name for
   them). spssOpenRead of an encrypted file (one whose header holds
   "ENCRYPTEDSAV") gives SPSS_FILE_ENCRYPTED when no password is known for
   its path, SPSS_WRONG_PASSWORD when the one known does not open it;
   passwords are made known with the C++ calls of savio/file_passwords.h. */
#define SPSS_FILE_ENCRYPTED 101
#define SPSS_WRONG_PASSWORD 102

/* The variable's long name (ext 13), or its short name when it has none;
   at most bufSize bytes with the NUL (SPSS_BUFFER_SHORT when cut). */
int spssGetVarLongName(int h, const char* varName, char* longName, int bufSize);
/* The whole variable label, uncut; at most bufSize bytes with the NUL
   (SPSS_BUFFER_SHORT when cut). Non-zero (SPSS_NO_LABEL) when there is none. */
int spssGetVarFullLabel(int h, const char* varName, char* label, int bufSize);
/* The encoding of the file's texts as an iconv name ("UTF-8", "WINDOWS-1252",
   "CP932", ...): the encoding record's, else the integer-info character
   code's, when iconv can read it; else UTF-8 when the dictionary's names and
   labels are valid UTF-8, else CP932. Labels are cut at its characters. At
   most bufSize bytes. */
int spssGetFileEncoding(int h, char* encoding, int bufSize);

/* ---- The rest of the dictionary. Texts are the file's bytes, NUL-ended;
   arrays are allocated by the library and released with the matching free
   call (which accepts what a failed call left: null arrays, count 0). ---- */

/* Compression kinds of spssFileHeaderInfo. */
#define SPSS_COMPRESSION_NONE 0
#define SPSS_COMPRESSION_BYTECODE 1
#define SPSS_COMPRESSION_ZLIB 2

/* The file header's fields beyond those of the calls above. */
typedef struct spssFileHeaderInfo {
    int compression;       /* SPSS_COMPRESSION_... */
    int bigEndian;         /* 1 when the file's numbers are big-endian */
    int layoutCode;        /* 2 (or 3 in old files) */
    int nominalCaseSize;   /* slots per case as the writer counted them (-1, 0 from some) */
    int slotCount;         /* slots per case as the variable records give them */
    int weightIndex;       /* 1-based slot of the weight variable, 0 = none */
    int headerCaseCount;   /* the header's case count, -1 = not recorded */
    long long caseCount64; /* the 64-bit case count record, -1 when absent or implausible */
    double bias;           /* the compression bias (100) */
    long long casesInData; /* when the data ends before the case count (header or 64-bit):
                              the cases it holds; -1 otherwise (or when telling would take
                              decoding the whole data) */
} spssFileHeaderInfo;
int spssGetFileHeaderInfo(int h, spssFileHeaderInfo* info);

/* Fields of the integer info record, by index into spssGetReleaseInfo's array. */
#define SPSS_RELINFO_MAJOR 0
#define SPSS_RELINFO_MINOR 1
#define SPSS_RELINFO_REVISION 2
#define SPSS_RELINFO_MACHINE_CODE 3
#define SPSS_RELINFO_FLOAT_REP 4   /* 1 = IEEE 754 */
#define SPSS_RELINFO_COMPRESSION 5 /* always 1 in practice */
#define SPSS_RELINFO_ENDIANNESS 6  /* 1 big-endian, 2 little-endian */
#define SPSS_RELINFO_CHARACTER_CODE 7
#define SPSS_RELINFO_COUNT 8
/* The integer info record's 8 values; SPSS_NO_TYPE73 when the file has no
   such record. */
int spssGetReleaseInfo(int h, int relInfo[SPSS_RELINFO_COUNT]);

/* The floating-point info record: the system-missing value, the values
   standing for HIGHEST and LOWEST. SPSS_NO_TYPE73 when the file has no such
   record (the type 7 record of subtype 4). */
int spssGetFloatInfo(int h, double* sysmis, double* highest, double* lowest);

/* The character encoding record as written ("" when absent); at most
   bufSize bytes with the NUL (SPSS_BUFFER_SHORT when cut). */
int spssGetEncodingRecord(int h, char* name, int bufSize);

/* The extra product info record (subtype 10) whole, "" when absent. */
int spssGetProductInfo(int h, char** text);
int spssFreeProductInfo(char* text);

/* The document lines, trailing blanks removed; *numLines = 0 when none. */
int spssGetFileDocuments(int h, char*** lines, int* numLines);
int spssFreeFileDocuments(char** lines, int numLines);

/* Attributes of the file or of a variable, one entry per value: an attribute
   of one value under its name, an array attribute as Name[1], Name[2], ...
   Hidden attributes (names beginning with $@, such as the role's $@Role)
   are included. *count = 0 when there are none. */
int spssGetFileAttributes(int h, char*** names, char*** values, int* count);
int spssGetVarAttributes(int h, const char* varName, char*** names, char*** values, int* count);
int spssFreeAttributes(char** names, char** values, int count);

/* Measurement levels. */
#define SPSS_MLVL_UNK 0 /* the file does not record one */
#define SPSS_MLVL_NOM 1
#define SPSS_MLVL_ORD 2
#define SPSS_MLVL_RAT 3 /* scale */
/* Alignments; -1 when the file does not record one. */
#define SPSS_ALIGN_UNK (-1)
#define SPSS_ALIGN_LEFT 0
#define SPSS_ALIGN_RIGHT 1
#define SPSS_ALIGN_CENTER 2
/* Roles. */
#define SPSS_ROLE_INPUT 0
#define SPSS_ROLE_TARGET 1
#define SPSS_ROLE_BOTH 2
#define SPSS_ROLE_NONE 3
#define SPSS_ROLE_PARTITION 4
#define SPSS_ROLE_SPLIT 5

/* The display parameters record's values for a variable. */
int spssGetVarMeasureLevel(int h, const char* varName, int* measureLevel);
/* The display column width in characters; -1 when not recorded. */
int spssGetVarColumnWidth(int h, const char* varName, int* columnWidth);
int spssGetVarAlignment(int h, const char* varName, int* alignment);
/* The variable's role; SPSS_ROLE_INPUT when the file does not say (or says
   something invalid). */
int spssGetVarRole(int h, const char* varName, int* role);

/* Kinds of multiple-response sets. */
#define SPSS_MRSET_CATEGORY 1
#define SPSS_MRSET_DICHOTOMY 2

typedef struct spssMultRespSet {
    char* name;             /* with its leading '$' */
    char* label;            /* as written; "" when none */
    int kind;               /* SPSS_MRSET_... */
    char* countedValue;     /* dichotomy sets: the counted value as written; "" otherwise */
    int countedValueLabels; /* dichotomy: 1 when categories are labelled by counted values,
                               0 when by the variables' labels */
    int labelFromFirstVar;  /* 1 when the set is labelled with its first variable's label */
    int numVars;
    char** varNames; /* the members' short names, at least two */
} spssMultRespSet;
/* The multiple-response sets of both records, in file order; sets that the
   reader found malformed are left out (see spssGetDictionaryWarnings). */
int spssGetMultRespSets(int h, spssMultRespSet** sets, int* numSets);
int spssFreeMultRespSets(spssMultRespSet* sets, int numSets);

typedef struct spssVarSet {
    char* name;
    int numVars;
    char** varNames; /* the members' short names */
} spssVarSet;
/* The variable sets. SPSS_NO_VARSETS when the file has no variable sets
   record, SPSS_EMPTY_VARSETS when the record holds none. */
int spssGetVariableSets(int h, spssVarSet** sets, int* numSets);
int spssFreeVariableSets(spssVarSet* sets, int numSets);

/* Every extension record (type 7) the dictionary holds, in file order. */
typedef struct spssExtensionRecord {
    int subtype;
    int size;         /* bytes per element */
    int count;        /* elements */
    long long offset; /* of the record in the file */
} spssExtensionRecord;
int spssGetExtensionRecords(int h, spssExtensionRecord** records, int* count);
int spssFreeExtensionRecords(spssExtensionRecord* records, int count);

/* Why the last spssOpenRead on this thread refused its file: *status is the
   status it returned (0 when it opened the file), reason a sentence (ASCII;
   "" when there is none) of at most bufSize bytes with the NUL
   (SPSS_BUFFER_SHORT when cut), *offset where in the file the fault lies
   (-1 when it lies at no one place). */
int spssGetOpenRefusal(int* status, char* reason, int bufSize, long long* offset);

/* What the reader skipped as malformed in the dictionary, one sentence each
   (ASCII, apart from the file's names they quote). *count = 0 when none. */
int spssGetDictionaryWarnings(int h, char*** texts, int* count);
int spssFreeDictionaryWarnings(char** texts, int count);

#ifdef __cplusplus
}
#endif
