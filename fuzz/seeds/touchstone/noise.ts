! two-port with noise
[Version] 2.0
# MHz Z MA R 50
[Number of Ports] 2
[Two-Port Data Order] 21_12
[Number of Frequencies] 3
[Number of Noise Frequencies] 2
[Begin Information]
anything
[End Information]
[Network Data]
100 50 0 10 0 10 0 50 0
200 51 1 10 1 10 1 51 1
300 52 2 10 2 10 2 52 2
[Noise Data]
100 1.5 0.5 45 0.2
200 1.6 0.5 50 0.2
[End]
