2017 10
17
20 30 A
-33.9 -18.4 50 Cape Town
2 SAST 24
1950
6
0
0.5
F
F
T
T 3
T
T
AA
10 80 300 60
B P N ARL
1500
m.mag
o.mag
r.txt
e.tle
e.tle
