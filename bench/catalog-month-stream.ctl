2017 10
1 31
0 0
40.0 75.0 300 Backyard observatory
-4 EDT 24
2000
12
10
1.0
F
T
F
T 99
F
F

A
no-such-magnitudes
none
report-stream.txt
catalog.tle
end
