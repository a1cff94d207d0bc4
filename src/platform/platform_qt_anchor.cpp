// Keeps the Qt platform library non-empty while it has no other source.
