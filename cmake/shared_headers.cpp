// Nothing of its own: this file exists so that its group's precompiled header
// is built once, with the flags of the targets that reuse it.
