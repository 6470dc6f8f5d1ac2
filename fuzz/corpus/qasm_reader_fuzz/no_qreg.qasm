h q[0];
cx q[0], q[1];
