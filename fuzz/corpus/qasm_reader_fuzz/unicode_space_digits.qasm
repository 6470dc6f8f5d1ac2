　qreg q[2]; 
h q[1];
x q[١];
