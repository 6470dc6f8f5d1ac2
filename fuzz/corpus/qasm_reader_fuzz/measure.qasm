qreg q[1];
h q[0];
measure q[0] -> c[0];
measurement
