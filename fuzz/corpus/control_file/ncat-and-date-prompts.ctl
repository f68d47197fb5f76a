2017 10
0
0 0
0 0 0
0 UT 24
2017
4
15
1
T
T
F
F
F
F
prompt
E   A
m.mag
o.mag
r.txt
e.tle
%%
16 17
25544
x
877
0
