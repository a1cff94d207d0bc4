// Keeps the app library non-empty while it has no other source.
