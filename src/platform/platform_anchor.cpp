// Keeps the plain platform library non-empty while it has no other source.
