* Every print format at several widths and decimals, over values at the
* edges of what each shows: negative zero, values that round into another
* digit, the largest and smallest a width holds, dates before 1582 and
* after 9999, negative times, system-missing. The formatted grid test runs
* it with PSPP, then compares PSPP's own formatted text cell by cell.
* Writes print_formats.sav into the current directory.

DATA LIST FREE /x (F40) s (A6).
BEGIN DATA
0 'abc'
1 ''
-1 'x y'
0.5 ' lead'
-0.5 'q r'
0.05 'abcdef'
-0.04 'a'
0.285 'b'
2.675 'c'
9.995 'd'
99.5 'e'
-99.95 'f'
999.96 'g'
99999999 'h'
-9999999 'i'
123456789 'j'
1234.5 'k'
-1234.5 'l'
1e15 'm'
-1e20 'n'
1e-5 'o'
3.14159265 'p'
86399.5 'q'
-93784.25 'r'
59.999 's'
13203179130.5 't'
13928544000 'u'
-12219379200 'v'
86400 'w'
3e11 'x'
1.5e13 'y'
4 'z'
7.5 'zz'
12 'zzz'
. 'sys'
END DATA.
COMPUTE negzero = -1 * 0.
FORMATS negzero (F8.2).

DO REPEAT v = f1 f3 f5_2 f8_2 f12_6 f40_16 /fm = 1 3 5 8 12 40.
COMPUTE v = x.
END REPEAT.
FORMATS f1 (F1) f3 (F3) f5_2 (F5.2) f8_2 (F8.2) f12_6 (F12.6) f40_16 (F40.16).
DO REPEAT v = c3 c9_1 c12_2 d9_1 d12_2 dl6 dl12_2 p4 p8_2 e6 e8_1 e10_3 e40_16.
COMPUTE v = x.
END REPEAT.
FORMATS c3 (COMMA3) c9_1 (COMMA9.1) c12_2 (COMMA12.2) d9_1 (DOT9.1) d12_2 (DOT12.2)
  dl6 (DOLLAR6) dl12_2 (DOLLAR12.2) p4 (PCT4) p8_2 (PCT8.2) e6 (E6) e8_1 (E8.1)
  e10_3 (E10.3) e40_16 (E40.16).
DO REPEAT v = n1 n4 n8_2 z1 z4 z8_2 cca6 ccb10_2 ccc8_1 ccd4 cce12_3 ph8.
COMPUTE v = x.
END REPEAT.
FORMATS n1 (N1) n4 (N4) n8_2 (N8.2) z1 (Z1) z4 (Z4) z8_2 (Z8.2) cca6 (CCA6)
  ccb10_2 (CCB10.2) ccc8_1 (CCC8.1) ccd4 (CCD4) cce12_3 (CCE12.3) ph8 (PIBHEX8).
DO REPEAT v = date9 date11 adate8 adate10 edate8 edate10 jdate5 jdate7 sdate8
  sdate10 qyr6 qyr8 moyr6 moyr8 wkyr8 wkyr10.
COMPUTE v = x.
* Day numbers past the range of a 32-bit integer have no defined date.
IF (x >= 1e14) v = $SYSMIS.
END REPEAT.
FORMATS date9 (DATE9) date11 (DATE11) adate8 (ADATE8) adate10 (ADATE10)
  edate8 (EDATE8) edate10 (EDATE10) jdate5 (JDATE5) jdate7 (JDATE7)
  sdate8 (SDATE8) sdate10 (SDATE10) qyr6 (QYR6) qyr8 (QYR8) moyr6 (MOYR6)
  moyr8 (MOYR8) wkyr8 (WKYR8) wkyr10 (WKYR10).
DO REPEAT v = dt17 dt20 dt23_2 dt40_5 ymd16 ymd19 ymd22_2 t5 t8 t11_2 t40_10
  mt5 mt8_2 dtm8 dtm13 dtm15_2 wk2 wk9 mo3 mo12.
COMPUTE v = x.
END REPEAT.
DO REPEAT v = dt17 dt20 dt23_2 dt40_5 ymd16 ymd19 ymd22_2.
IF (x >= 1e14) v = $SYSMIS.
END REPEAT.
FORMATS dt17 (DATETIME17) dt20 (DATETIME20) dt23_2 (DATETIME23.2)
  dt40_5 (DATETIME40.5) ymd16 (YMDHMS16) ymd19 (YMDHMS19) ymd22_2 (YMDHMS22.2)
  t5 (TIME5) t8 (TIME8) t11_2 (TIME11.2) t40_10 (TIME40.10) mt5 (MTIME5)
  mt8_2 (MTIME8.2) dtm8 (DTIME8) dtm13 (DTIME13) dtm15_2 (DTIME15.2)
  wk2 (WKDAY2) wk9 (WKDAY9) mo3 (MONTH3) mo12 (MONTH12).
STRING sx (AHEX12).
COMPUTE sx = s.
SAVE OUTFILE='print_formats.sav'.
