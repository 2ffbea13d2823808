/* A shared object that names itself like a platform module and exports one of its functions
   with an answer the platform never gives. */
unsigned GetFocus(void) { return 0x5EEDu; }
