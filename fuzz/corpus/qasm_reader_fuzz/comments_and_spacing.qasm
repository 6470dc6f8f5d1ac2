// header

OPENQASM 2.0;
   qreg r [ 4 ] ;
  cx   r[0],r[1] ;  // trailing
h r[3]; x r[2];
