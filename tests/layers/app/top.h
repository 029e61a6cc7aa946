// Not compiled: a file at the top of the pretend app folder (the editor's).
