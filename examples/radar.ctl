2017 10
17
0 24 A
40.0 75.0 300 Backyard observatory
0 UT 24
2000
12.0
30
1.0
T
T
T
T 99
F
T

R       RL
1000
visual.mag
none
radar.txt
visual-2017-10-16.tle
end
