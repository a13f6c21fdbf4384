// The data-file call boundary: the spss... calls the windows use to read
// SPSS system files (.sav / .zsav). Implemented by our own reader (savio/).
// Every call returns a status (0 = success, negative = warning, positive =
// error) except spssSysmisVal. The library never writes more than the sizes
// noted into a caller's buffer. Text stays in the file's own bytes.
#ifndef LORIVANE_CORE_SPSSFIO_H
#define LORIVANE_CORE_SPSSFIO_H

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. */
#define SPSS_OK 0
#define SPSS_FILE_OERROR 1
#define SPSS_FILE_WERROR 2
#define SPSS_FILE_RERROR 3
#define SPSS_FITAB_FULL 4
#define SPSS_INVALID_HANDLE 5
#define SPSS_INVALID_FILE 6
#define SPSS_NO_MEMORY 7
#define SPSS_OPEN_RDMODE 8
#define SPSS_OPEN_WRMODE 9
#define SPSS_INVALID_VARNAME 10
#define SPSS_DICT_EMPTY 11
#define SPSS_VAR_NOTFOUND 12
#define SPSS_DUP_VAR 13
#define SPSS_NUME_EXP 14
#define SPSS_STR_EXP 15
#define SPSS_SHORTSTR_EXP 16
#define SPSS_INVALID_VARTYPE 17
#define SPSS_INVALID_MISSFOR 18
#define SPSS_INVALID_COMPSW 19
#define SPSS_INVALID_PRFOR 20
#define SPSS_INVALID_WRFOR 21
#define SPSS_INVALID_DATE 22
#define SPSS_INVALID_TIME 23
#define SPSS_NO_VARIABLES 24
#define SPSS_DUP_VALUE 27
#define SPSS_INVALID_CASEWGT 28
#define SPSS_DICT_COMMIT 30
#define SPSS_DICT_NOTCOMMIT 31
#define SPSS_NO_TYPE2 33
#define SPSS_NO_TYPE73 41
#define SPSS_INVALID_DATEINFO 45
#define SPSS_NO_TYPE999 46
#define SPSS_EXC_STRVALUE 47
#define SPSS_CANNOT_FREE 48
#define SPSS_BUFFER_SHORT 49
#define SPSS_INVALID_CASE 50
#define SPSS_INTERNAL_VLABS 51
#define SPSS_INCOMPAT_APPEND 52
#define SPSS_INTERNAL_D_A 53

#define SPSS_EXC_LEN64 (-1)
#define SPSS_EXC_LEN120 (-2)
#define SPSS_EXC_VARLABEL (-2)
#define SPSS_EXC_LEN60 (-4)
#define SPSS_EXC_VALLABEL (-4)
#define SPSS_FILE_END (-5)
#define SPSS_NO_VARSETS (-6)
#define SPSS_EMPTY_VARSETS (-7)
#define SPSS_NO_LABELS (-8)
#define SPSS_NO_LABEL (-9)
#define SPSS_NO_CASEWGT (-10)
#define SPSS_NO_DATEINFO (-11)

/* Missing-value format codes of spssGet...MissingValues. */
#define SPSS_NO_MISSVAL 0
#define SPSS_ONE_MISSVAL 1
#define SPSS_TWO_MISSVAL 2
#define SPSS_THREE_MISSVAL 3
#define SPSS_MISS_RANGE (-2)
#define SPSS_MISS_RANGEANDVAL (-3)

/* Print/write format type codes that the program renders as dates. */
#define SPSS_FMT_DATE 20
#define SPSS_FMT_ADATE 23
#define SPSS_FMT_JDATE 24
#define SPSS_FMT_SDATE 38
#define SPSS_FMT_EDATE 39

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
int spssGetVarNMissingValues(int h, const char* varName, int* missingFormat, double* v1,
                             double* v2, double* v3);
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

#ifdef __cplusplus
}
#endif

#endif
