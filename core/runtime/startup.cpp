// Placeholder: the start-up state arrives with the runtime module.
