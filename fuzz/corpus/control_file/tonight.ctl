tonight
0 0
40 75 300 Site
-5 EST 12
2000
4.5
10
1
T
T
F
F
F
F

A D
m.mag
none
r.txt
e.tle
