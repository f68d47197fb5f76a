2018 1
14 20
0 0
40.0 75.0 300 Backyard observatory
-4 EDT 24
2000
12
10
1.0
T
T
F
T 99
F
F

A
sample.mag
none
report-gpredict.txt
gpredict.tle
end
