// Nothing of its own: this program exists so that its group's precompiled
// header is built once, with the flags of the test programs that reuse it.
