// Not compiled: a header of the pretend app's editor folder.
