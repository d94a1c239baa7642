(case 3 ((1 2) 'low) ((3 4) 'mid) (else 'high))
