qreg q[2];
h q[0];
qreg r[1];
