stale risk
