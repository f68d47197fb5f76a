2017 10
16 16
0 0
40 75 300
-4 EDT 12
2000
4.5
10
1
T
T
F
T 99
T
F

A     RL
900
m.mag
none
r.txt
e.tle
