2017 10
18 19
-1 1
90 180 0 Pole
14 LINT 12
2099
12
45
3
T
F
F
T 1
F
T
RD
22 30 2 0 -20 60
C R
m.mag
none
prompt
prompt
%%
r.txt
e.tle
