(month d)
