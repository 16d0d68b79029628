[Version] 2.1
# GHz S RI R 50
[Number of Ports] 4
[Number of Frequencies] 3
[Reference] 50 50
75 75
[Mixed-Mode Order] D1,2 C1,2 D3,4 C3,4
[Matrix Format] Lower
[Network Data]
1 1 0
2 0 3 0
4 0 5 0 6 0
7 0 8 0 9 0 1 0
2 1 0
2 0 3 0
4 0 5 0 6 0
7 0 8 0 9 0 1 0
3 1 0
2 0 3 0
4 0 5 0 6 0
7 0 8 0 9 0 1 0
[End]
