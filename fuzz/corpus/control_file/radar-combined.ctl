2017 10
16
0 4 A
-90 -180 10000 South
-12 NZ 24
1800
30
-5
10
F
T
F
T 2
F
F
v
R
m.mag
none
r.txt
e.tle
combine
2017 10
17
0 0
51.5 0.1 100 London
1 BST 24
2000
5
10
1
T
T
F
T 99
F
F

D D A
m.mag
none
r.txt
e.tle
end
