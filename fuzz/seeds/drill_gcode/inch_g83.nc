(twcycle drill /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl -o /work/wt/issue20/fuzz/seeds/gcode_program/inch_g83.nc)
(source: /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl)
(unit: inches, the files' own coordinates; Z 0 is the board's top)
(T1 0.0236 in, 20 holes, /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl)
(T2 0.0394 in, 20 holes, /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl)
(options: --drill-cycle g83 --tool-change pause --tool-order file --depth -0.08in --retract 0.08in --safe-z 0.4in --tool-change-z 1.2in --feed 8in --spindle 10000 --peck 0.02in --rapid-rate 100in)
G90
G20
G0 Z0.40000
(tool T1: 0.0236 in, 20 holes, /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl)
M5
G0 Z1.20000
M0 (change to T1, 0.0236 in)
G0 Z0.40000
S10000 M3
G0 X0.26330 Y0.58350
G0 Z0.08000
G98 G83 X0.26330 Y0.58350 Z-0.08000 R0.08000 Q0.02000 F8
X0.60870 Y0.32750
X1.68460 Y0.41440
X1.76140 Y0.40130
X2.80470 Y0.63230
X3.34000 Y0.47210
X3.61700 Y0.22900
X3.55640 Y1.17190
X3.47380 Y1.60610
X3.31310 Y2.07460
X3.25680 Y2.93940
X2.21520 Y2.76040
X2.64350 Y2.17860
X3.11980 Y1.07400
X2.82280 Y0.98840
X2.48430 Y1.31330
X1.96820 Y1.52240
X1.94190 Y1.23350
X1.04620 Y1.12850
X0.34350 Y2.66050
G80
G0 Z0.40000
(tool T2: 0.0394 in, 20 holes, /work/wt/issue20/tests/data/drill/eagle_inch_tz.drl)
M5
G0 Z1.20000
M0 (change to T2, 0.0394 in)
G0 Z0.40000
S10000 M3
G0 X1.60000 Y2.30000
G0 Z0.08000
G98 G83 X1.60000 Y2.30000 Z-0.08000 R0.08000 Q0.02000 F8
X1.80000 Y2.30000
X1.90000 Y2.30000
X2.00000 Y2.30000
X2.20000 Y2.00000
X2.10000 Y2.00000
X1.80000 Y2.00000
X1.70000 Y2.00000
X1.10000 Y1.00000
X0.50000 Y1.00000
X0.40000 Y1.00000
X0.80000 Y0.70000
X1.00000 Y0.70000
X1.10000 Y0.70000
X3.50000 Y1.00000
X3.60000 Y1.00000
X3.60000 Y1.20000
X3.60000 Y1.30000
X3.50000 Y1.30000
X3.50000 Y1.20000
G80
G0 Z0.40000
G80
M5
G0 Z0.40000
M30
