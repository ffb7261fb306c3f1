// Library anchor.
