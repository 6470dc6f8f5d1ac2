qreg q[1];
rz(0.5) q[0];
barrier q[0];
