"""The pictures of every strip, one module per group of bars; parts holds the drawings they share."""
