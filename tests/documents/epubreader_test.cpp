// Filled in as the reader lands.
