2017 10
16 16
0 0
40.0 75.0 300 Backyard observatory
-4 EDT 12
2000
4.5
10
1.0
T
T
F
T 99
T
F

A
m.mag
none
r.txt
e.tle
end
