// The source from which the project's precompiled Qt header is made.
